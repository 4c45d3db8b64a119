#pragma once

// Shares the rows of a large picture among a few threads.

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

// Hands the rows [0, h) to rows(first, end) in a few bands, each on its own
// thread, when the picture is large; small pictures (the live previews of the
// display copy) run on the calling thread.
template <class F> void ForRowBands(int h, int64_t pixels, F&& rows)
{
    constexpr int64_t PixelsPerBand = int64_t(1) << 20;
    const int64_t cores = std::max(1u, std::thread::hardware_concurrency());
    const int bands = static_cast<int>(std::min<int64_t>({cores, 8, pixels / PixelsPerBand, h}));
    if (bands <= 1) {
        rows(0, h);
        return;
    }
    std::vector<std::jthread> helpers;
    int next = 1;
    try {
        for (; next < bands; ++next)
            helpers.emplace_back(rows, int(int64_t(h) * next / bands),
                                 int(int64_t(h) * (next + 1) / bands));
    } catch (const std::system_error&) {
        // No more threads to be had: the calling thread does the rest.
        rows(int(int64_t(h) * next / bands), h);
    }
    rows(0, int(h / bands));
}
