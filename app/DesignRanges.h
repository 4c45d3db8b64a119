#pragma once

// The widths, in pixels, that the frame designers' track bars offer. The
// batch framer holds damaged frame files against the same ranges.

#include <cstdint>

struct TDesignRange
{
    int32_t Minimum;
    int32_t Maximum;
    constexpr bool Holds(int32_t Value) const { return Value >= Minimum && Value <= Maximum; }
};

namespace DesignRanges {

// The outer and inner edges of a simple frame.
inline constexpr TDesignRange Edge{0, 10};
// A simple frame's band widths and an ornate frame's tile size.
inline constexpr TDesignRange Band{5, 80};

} // namespace DesignRanges
