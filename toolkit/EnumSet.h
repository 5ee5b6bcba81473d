#pragma once
// A set of up to 32 enumeration values, with the set operations of the toolkit's option and
// shift-state sets: + union, * intersection, - difference.

#include <cstdint>
#include <initializer_list>

template <typename E> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> Items) {
        for (E Item : Items)
            FBits |= Bit(Item);
    }
    // The set whose bit n holds the value n, as sets are stored and compared.
    static constexpr TEnumSet FromBits(uint32_t Bits) {
        TEnumSet Set;
        Set.FBits = Bits;
        return Set;
    }

    constexpr uint32_t Bits() const { return FBits; }
    constexpr bool Contains(E Item) const { return (FBits & Bit(Item)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TEnumSet& Include(E Item) {
        FBits |= Bit(Item);
        return *this;
    }
    constexpr TEnumSet& Exclude(E Item) {
        FBits &= ~Bit(Item);
        return *this;
    }

    friend constexpr TEnumSet operator+(TEnumSet A, TEnumSet B) {
        return FromBits(A.FBits | B.FBits);
    }
    friend constexpr TEnumSet operator*(TEnumSet A, TEnumSet B) {
        return FromBits(A.FBits & B.FBits);
    }
    friend constexpr TEnumSet operator-(TEnumSet A, TEnumSet B) {
        return FromBits(A.FBits & ~B.FBits);
    }
    friend constexpr bool operator==(TEnumSet A, TEnumSet B) = default;

private:
    static constexpr uint32_t Bit(E Item) { return 1u << static_cast<unsigned>(Item); }

    uint32_t FBits = 0;
};
