#pragma once
// TRecord: a handle on one record of a browser's data source. The descendant that gives it out
// decides what it holds (a key, a position, a file offset or an object's address); the browser
// only tests whether it is none and hands it back.

#include <cstdint>

class TRecord {
public:
    constexpr TRecord() = default; // none

    static constexpr TRecord Key(int64_t Value) { return TRecord(Value); }
    // A null address gives none.
    template <class T> static TRecord Object(T* Address) {
        return Address ? TRecord(static_cast<int64_t>(reinterpret_cast<intptr_t>(Address)))
                       : TRecord();
    }

    constexpr explicit operator bool() const { return FSome; }
    constexpr int64_t AsKey() const { return FValue; }
    template <class T> T* AsObject() const {
        return reinterpret_cast<T*>(static_cast<intptr_t>(FValue));
    }

    friend constexpr bool operator==(const TRecord&, const TRecord&) = default;

private:
    constexpr explicit TRecord(int64_t Value) : FValue(Value), FSome(true) {}

    int64_t FValue = 0;
    bool FSome = false;
};
