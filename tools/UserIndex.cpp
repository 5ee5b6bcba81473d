#include "tools/UserIndex.h"

#include <functional>

namespace {

uint64_t NameHash(std::string_view Name) {
    return std::hash<std::string_view>{}(Name);
}

std::size_t SlotsFor(std::size_t Users) {
    std::size_t Slots = 64;
    while (Slots < 2 * Users)
        Slots *= 2;
    return Slots;
}

} // namespace

TUserIndex::TUserIndex(const TUserManager& Store) : FById(std::make_unique<TUserC*[]>(0x10000)) {
    const auto Count = static_cast<std::size_t>(Store.Count());
    FUsers.reserve(Count);
    FSlots.resize(SlotsFor(Count));
    for (int I = 0; I < Store.Count(); ++I)
        Appended(*Store.Items(I));
}

TUserC* TUserIndex::ByName(std::string_view Cp1250Name) const {
    const uint64_t Hash = NameHash(Cp1250Name);
    const auto Tag = static_cast<uint32_t>(Hash >> 32);
    const std::size_t Mask = FSlots.size() - 1;
    for (std::size_t At = Hash & Mask;; At = (At + 1) & Mask) {
        const TSlot& Slot = FSlots[At];
        if (Slot.Place == 0)
            return nullptr;
        TUserC* User = FUsers[Slot.Place - 1];
        if (Slot.Tag == Tag && User->Rec.UserName.View() == Cp1250Name)
            return User;
    }
}

void TUserIndex::Appended(TUserC& User) {
    FUsers.push_back(&User);
    if (FSlots.size() < 2 * FUsers.size()) {
        // Twice the slots: every name goes to its new place.
        FSlots.assign(SlotsFor(FUsers.size()), TSlot{});
        for (std::size_t Place = 1; Place <= FUsers.size(); ++Place)
            Insert(Place);
    } else {
        Insert(FUsers.size());
    }
    if (FById[User.Rec.Id] == nullptr)
        FById[User.Rec.Id] = &User;
}

void TUserIndex::Insert(std::size_t Place) {
    const std::string_view Name = FUsers[Place - 1]->Rec.UserName.View();
    const uint64_t Hash = NameHash(Name);
    const auto Tag = static_cast<uint32_t>(Hash >> 32);
    const std::size_t Mask = FSlots.size() - 1;
    for (std::size_t At = Hash & Mask;; At = (At + 1) & Mask) {
        TSlot& Slot = FSlots[At];
        if (Slot.Place == 0) {
            Slot = {Tag, static_cast<uint32_t>(Place)};
            return;
        }
        // The first one with a name keeps it.
        if (Slot.Tag == Tag && FUsers[Slot.Place - 1]->Rec.UserName.View() == Name)
            return;
    }
}
