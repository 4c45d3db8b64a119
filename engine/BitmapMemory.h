#pragma once

// Pixel memory for large bitmaps. Fresh memory comes from the system page by
// page, each page on its first write, and for a bitmap of tens of megabytes
// those faults cost more than the decoding or drawing that fills it. A
// bitmap from here is mapped on its own, on huge pages where the kernel
// offers them, and all its pages are made present up front, in bands on the
// work pool, so the work that fills it runs without interruption; the mapping
// goes when the last copy of the bitmap goes.
//
// While a TBitmapReuse lives (a batch run holds one), the mapping of a large
// bitmap that goes is kept instead and given to the next large bitmap of
// about its length: the pages are present already, and nothing is faulted,
// cleared by the kernel or unmapped per photo. What is kept is never more
// than the large bitmaps alive at once took meanwhile, so a run holds no
// more than it would without it, and it goes back to the system with the
// last TBitmapReuse.

#include <QImage>

#include <cstddef>
#include <cstdint>

// From this many bytes on, NewPresentBitmap maps the pixels itself; smaller
// bitmaps are Qt's own.
constexpr int64_t PresentBitmapBytes = int64_t(4) << 20;

// What a new bitmap's pixels are.
enum class TNewPixels {
    // Every pixel as QImage::fill(0) leaves it.
    Cleared,
    // Whatever the memory held: the caller writes every pixel before it
    // reads one.
    Overwritten,
};

// The sizes in which the system hands out memory: its pages, and its huge
// pages where a mapping may ask for them (0 where it may not).
struct TPageSizes
{
    size_t Page = 4096;
    size_t Huge = 0;
};
// This system's, read once.
const TPageSizes& SystemPageSizes();

// A bitmap of Width x Height in a 32-bit Format; null when the memory cannot
// be had. Other formats are Qt's own. Pages may be any powers of two, a huge
// page a multiple of the page (they set how the memory is mapped and in what
// steps it is made present).
QImage NewPresentBitmap(int width, int height, QImage::Format format,
                        TNewPixels pixels = TNewPixels::Cleared,
                        const TPageSizes& pages = SystemPageSizes());

// Keeps the memory of large bitmaps for the next ones while it lives (see
// above). Any number may live at once, on any threads.
class TBitmapReuse
{
public:
    TBitmapReuse();
    ~TBitmapReuse();
    TBitmapReuse(const TBitmapReuse&) = delete;
    TBitmapReuse& operator=(const TBitmapReuse&) = delete;

    // The bytes of large bitmaps kept for reuse now, and alive now.
    static int64_t KeptBytes();
    static int64_t LiveBytes();
};
