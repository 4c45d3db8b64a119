#pragma once

// Output bitmaps of a batch run kept for the next photos of the same size:
// memory the process already holds is cleared and drawn into again instead
// of fresh memory being mapped and faulted in for every photo. Only bitmaps
// of the size last asked for are kept, and no more than were in use at once,
// so the pool never holds more than the photos in work took. Thread-safe.

#include <QImage>
#include <QSize>

#include <mutex>
#include <vector>

class TBitmapPool
{
public:
    // A Width x Height 32-bit ARGB bitmap with every pixel transparent black,
    // as NewBitmap makes it.
    QImage Take(int Width, int Height);
    // Bitmap is done with; kept when nothing else shares it and it has the
    // size last asked for.
    void Give(QImage Bitmap);

private:
    std::mutex m_lock;
    QSize m_size;
    std::vector<QImage> m_idle;
};
