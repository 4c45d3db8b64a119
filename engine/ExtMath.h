#pragma once

// Sizes times scales, the way the program has always computed them: the
// product or quotient of two doubles is formed in extended precision (64-bit
// mantissa) and then truncated toward zero or rounded half to even.
//
// Plain doubles get these wrong at the edges: 2000 x 0.3 truncates to 600 in
// double arithmetic but to 599 here, because 0.3 is held as the double just
// below it and the extended product keeps that difference.

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

using TExtended = long double;

inline TExtended XMul(double a, double b)
{
    return static_cast<TExtended>(a) * static_cast<TExtended>(b);
}

inline TExtended XDiv(double a, double b)
{
    return static_cast<TExtended>(a) / static_cast<TExtended>(b);
}

// Clamps to the 32-bit range; a NaN gives 0.
inline int32_t XToInt32(TExtended v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<TExtended>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<TExtended>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// Truncation toward zero (never floor).
inline int32_t XTrunc(TExtended v)
{
    return XToInt32(std::truncl(v));
}

// Rounding to nearest, halves to even (2.5 -> 2, 3.5 -> 4).
inline int32_t XRound(TExtended v)
{
    const int previous = std::fegetround();
    if (previous != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const TExtended r = std::nearbyintl(v);
    if (previous != FE_TONEAREST)
        std::fesetround(previous);
    return XToInt32(r);
}
