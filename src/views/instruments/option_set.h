#pragma once
// A set of enumeration members kept as a 16-bit mask, bit number = the member's ordinal.
#include <cstdint>
#include <initializer_list>

template <typename Enum>
class OptionSet
{
public:
    constexpr OptionSet() = default;
    constexpr OptionSet(std::initializer_list<Enum> members)
    {
        for (Enum member : members)
            fMask = static_cast<std::uint16_t>(fMask | Bit(member));
    }

    static constexpr OptionSet FromMask(std::uint16_t mask)
    {
        OptionSet set;
        set.fMask = mask;
        return set;
    }

    constexpr std::uint16_t Mask() const { return fMask; }
    constexpr bool Has(Enum member) const { return (fMask & Bit(member)) != 0; }
    constexpr OptionSet With(Enum member) const { return FromMask(static_cast<std::uint16_t>(fMask | Bit(member))); }
    constexpr OptionSet Without(Enum member) const
    {
        return FromMask(static_cast<std::uint16_t>(fMask & ~Bit(member)));
    }

    friend constexpr bool operator==(OptionSet a, OptionSet b) { return a.fMask == b.fMask; }
    friend constexpr bool operator!=(OptionSet a, OptionSet b) { return a.fMask != b.fMask; }

private:
    static constexpr std::uint16_t Bit(Enum member)
    {
        return static_cast<std::uint16_t>(1u << static_cast<unsigned>(member));
    }

    std::uint16_t fMask = 0;
};
