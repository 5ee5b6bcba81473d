#include "store/ExCls.h"

#include <string>

EListError::EListError(int AIndex)
    : std::out_of_range("List index out of bounds (" + std::to_string(AIndex) + ")"),
      Index(AIndex) {}

int TList::Add(TObject* Item) {
    if (FCount == Capacity())
        Grow();
    if (FCount == Capacity()) // a growth step that did not grow
        SetCapacity(FCount + 1);
    FItems[static_cast<std::size_t>(FCount)] = Item;
    return FCount++;
}

void TList::Delete(int Index) {
    if (Index < 0 || Index >= FCount)
        Error(Index);
    FItems.erase(FItems.begin() + Index);
    FItems.push_back(nullptr); // the capacity stays
    --FCount;
}

TObject* TList::Get(int Index) const {
    if (Index < 0 || Index >= FCount)
        Error(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0)
        Error(NewCount);
    if (NewCount > Capacity())
        SetCapacity(NewCount);
    // Slots that come into the list start empty.
    for (int I = FCount; I < NewCount; ++I)
        FItems[static_cast<std::size_t>(I)] = nullptr;
    FCount = NewCount;
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < FCount)
        Error(NewCapacity);
    FItems.resize(static_cast<std::size_t>(NewCapacity), nullptr);
    FItems.shrink_to_fit();
}

void TList::Clear() {
    FCount = 0;
    std::vector<TObject*>().swap(FItems);
}

void TList::Grow() {
    const int Cap = Capacity();
    const int Step = Cap > 64 ? Cap / 4 : (Cap > 8 ? 16 : 4);
    SetCapacity(Cap + Step);
}

void TList::Error(int Index) const {
    throw EListError(Index);
}

TObjList::~TObjList() {
    // A derived list's FreeItem is out of reach in a destructor: items are deleted here.
    TObjList::Clear();
}

void TObjList::DeleteAndFree(int Index) {
    TObject* Item = Get(Index);
    Delete(Index);
    FreeItem(Item);
}

void TObjList::DeleteAndFreeIf(const std::function<bool(const TObject&)>& Doomed) {
    std::vector<TObject*> Kept;
    std::vector<TObject*> Freed;
    for (int Index = 0; Index < Count(); ++Index) {
        TObject* Item = Get(Index);
        (Item != nullptr && Doomed(*Item) ? Freed : Kept).push_back(Item);
    }
    if (Freed.empty())
        return;
    // Within the capacity the list has: Add cannot fail, and no item is lost or freed twice.
    SetCount(0);
    for (TObject* Item : Kept)
        Add(Item);
    for (TObject* Item : Freed)
        FreeItem(Item);
}

void TObjList::Clear() {
    for (int Index = Count() - 1; Index >= 0; --Index) {
        TObject* Item = Get(Index);
        if (Item == nullptr)
            continue;
        // While the item is freed, the list holds exactly the items before it.
        SetCount(Index);
        FreeItem(Item);
    }
    TList::Clear();
}

void TObjList::Grow() {
    if (Delta > 0) // a negative step would shrink a full list
        SetCapacity(Capacity() + Delta);
    else
        TList::Grow();
}

void TObjList::FreeItem(TObject* Item) {
    delete Item;
}
