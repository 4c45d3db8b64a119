#pragma once

// The widths, in pixels, that the frame designers' track bars offer.

#include <cstdint>

struct TDesignRange
{
    int32_t Minimum;
    int32_t Maximum;
};

namespace DesignRanges {

// The outer and inner edges of a simple frame.
inline constexpr TDesignRange Edge{0, 10};
// A simple frame's band widths and an ornate frame's tile size.
inline constexpr TDesignRange Band{5, 80};

} // namespace DesignRanges
