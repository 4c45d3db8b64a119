#pragma once

// Passes over the pixels of a picture; large pictures share their rows among
// the work pool's threads.

#include "WorkPool.h"

#include <QImage>

#include <algorithm>
#include <cstdint>

// Hands the rows [0, h) to rows(first, end) in a few bands on the work pool
// when the picture is large; small pictures (the live previews of the
// display copy) run on the calling thread. An error of any band is raised
// here, once the bands begun have ended.
template <class F> void ForRowBands(int h, int64_t pixels, F&& rows)
{
    constexpr int64_t PixelsPerBand = int64_t(1) << 20;
    TWorkPool& pool = TWorkPool::Instance();
    const int bands =
        static_cast<int>(std::min<int64_t>({pool.WorkerCount(), 8, pixels / PixelsPerBand, h}));
    if (bands <= 1) {
        rows(0, h);
        return;
    }
    pool.ParallelFor(bands, [&](int band) {
        rows(int(int64_t(h) * band / bands), int(int64_t(h) * (band + 1) / bands));
    });
}

// Runs f over every pixel as straight 0xAARRGGBB, keeping alpha. 32-bit
// bitmaps are changed in place; any other format goes through a straight
// ARGB copy and back, as the locked 24-bit view would.
template <class F> void PassOverPixels(QImage& image, F&& f)
{
    if (image.isNull())
        return;
    const QImage::Format format = image.format();
    const bool direct = format == QImage::Format_ARGB32 || format == QImage::Format_RGB32;
    QImage work = direct ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    QImage& target = direct ? image : work;
    const int w = target.width();
    const int h = target.height();
    // bits() detaches once here, before any band touches the pixels.
    uchar* const first = target.bits();
    const qsizetype stride = target.bytesPerLine();
    ForRowBands(h, int64_t(w) * h, [&](int top, int end) {
        for (int y = top; y < end; ++y) {
            auto* p = reinterpret_cast<uint32_t*>(first + y * stride);
            for (int x = 0; x < w; ++x)
                p[x] = (p[x] & 0xFF000000u) | f(p[x]);
        }
    });
    if (!direct)
        image = work.convertToFormat(format);
}
