#pragma once
// Owning lists: TObjList frees what it holds; TStrList is a TObjList of owned strings.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Root of every object a TObjList can own.
class TObject {
public:
    virtual ~TObject() = default;
};

// The list's index error: an index outside 0..Count-1 given to Get, Items, Delete or DeleteAndFree.
class EListError : public std::out_of_range {
public:
    explicit EListError(int Index);
    int Index;
};

// A growable list of object references (not owning).
class TList {
public:
    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    virtual ~TList() = default;

    int Add(TObject* Item); // appends, returns the new item's index
    void Delete(int Index); // later items move down by one
    TObject* Get(int Index) const;
    int Count() const { return FCount; }
    int Capacity() const { return static_cast<int>(FItems.size()); }
    void SetCount(int NewCount);
    void SetCapacity(int NewCapacity);
    virtual void Clear(); // empties the list and releases its array

protected:
    virtual void Grow();
    virtual void Error(int Index) const; // throws EListError

private:
    std::vector<TObject*> FItems; // size() is the capacity
    int FCount = 0;
};

class TObjList : public TList {
public:
    ~TObjList() override; // Destroy: Clear, then the base list's destruction

    TObject* Items(int Index) const { return Get(Index); }
    void DeleteAndFree(int Index);
    // Removes and frees every item for which Doomed holds, the others keeping their order, in
    // one pass (DeleteAndFree moves the later items at each call). Null items stay.
    void DeleteAndFreeIf(const std::function<bool(const TObject&)>& Doomed);
    void Clear() override; // frees from the last item down; null items are passed over

    int32_t Delta = 0; // growth step; 0 means the base list's own growth

protected:
    void Grow() override;
    virtual void FreeItem(TObject* Item); // destroys the object; nothing for null
};

// An owned string item of a TStrList.
class TStrItem : public TObject {
public:
    explicit TStrItem(std::string Value) : S(std::move(Value)) {}
    std::string S;
};

class TStrList : public TObjList {
public:
    void AddStr(std::string Value) { Add(new TStrItem(std::move(Value))); }
    const std::string& Strings(int Index) const { return static_cast<TStrItem*>(Items(Index))->S; }
};
