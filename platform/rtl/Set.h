// Set.h - small sets of an enumeration's values, stored as bits.
#pragma once
#include <bitset>
#include <cstdint>
#include <initializer_list>

template <class E, int Size = 64>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values)
    {
        for (E v : values)
            FBits |= bit(v);
    }

    constexpr bool Contains(E value) const { return (FBits & bit(value)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E value) { FBits |= bit(value); return *this; }
    constexpr TSet& Exclude(E value) { FBits &= ~bit(value); return *this; }

    constexpr TSet operator+(TSet other) const { return fromBits(FBits | other.FBits); }
    constexpr TSet operator-(TSet other) const { return fromBits(FBits & ~other.FBits); }
    constexpr TSet operator*(TSet other) const { return fromBits(FBits & other.FBits); }
    constexpr TSet& operator+=(TSet other) { FBits |= other.FBits; return *this; }
    constexpr TSet& operator-=(TSet other) { FBits &= ~other.FBits; return *this; }
    constexpr bool operator==(const TSet&) const = default;
    // a <= b: every member of a is in b
    constexpr bool operator<=(TSet other) const { return (FBits & ~other.FBits) == 0; }

    constexpr uint64_t Bits() const { return FBits; }
    static constexpr TSet fromBits(uint64_t bits) { TSet s; s.FBits = bits; return s; }

private:
    static_assert(Size <= 64, "TSet holds at most 64 values");
    static constexpr uint64_t bit(E value) { return uint64_t{1} << static_cast<int>(value); }
    uint64_t FBits = 0;
};
