#include "BitmapMemory.h"

#include "PixelPass.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <new>

namespace {

size_t SystemPageSize()
{
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? size_t(size) : 4096;
}

// A mapping of its own, given back with the last copy of its bitmap.
struct TMapping
{
    void* Start;
    size_t Length;
};

void Unmap(void* info)
{
    auto* mapping = static_cast<TMapping*>(info);
    ::munmap(mapping->Start, mapping->Length);
    delete mapping;
}

// Makes the pages of [Begin, End) present; a kernel that cannot do that in
// one call (or a range that does not start on one of its pages) gets a
// write of zero on each page.
void MakePresent(uchar* begin, uchar* end, size_t page)
{
#ifdef MADV_POPULATE_WRITE
    if (::madvise(begin, size_t(end - begin), MADV_POPULATE_WRITE) == 0)
        return;
#endif
    for (volatile uchar* p = begin; p < end; p += page)
        *p = 0;
}

} // namespace

QImage NewPresentBitmap(int width, int height, QImage::Format format, size_t pageSize)
{
    const qsizetype stride = qsizetype(width) * 4;
    const int64_t bytes = int64_t(stride) * height;
    if (width <= 0 || height <= 0 || QImage::toPixelFormat(format).bitsPerPixel() != 32 ||
        bytes < PresentBitmapBytes) {
        QImage image(width, height, format);
        if (!image.isNull())
            image.fill(0);
        return image;
    }
    const size_t page = pageSize > 0 ? pageSize : SystemPageSize();
    const size_t length = size_t(bytes);
    void* mapped =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return QImage();
    auto* mapping = new (std::nothrow) TMapping{mapped, length};
    if (!mapping) {
        ::munmap(mapped, length);
        return QImage();
    }
    auto* const pixels = static_cast<uchar*>(mapped);
    // The bytes QImage::fill(0) leaves in this format: RGB32 keeps its
    // opaque filler byte.
    QImage one(1, 1, format);
    one.fill(0);
    const uint32_t filler = *reinterpret_cast<const uint32_t*>(one.constBits());
    try {
        ForRowBands(height, int64_t(width) * height, [&](int top, int end) {
            if (filler != 0) {
                std::fill(reinterpret_cast<uint32_t*>(pixels + qsizetype(top) * stride),
                          reinterpret_cast<uint32_t*>(pixels + qsizetype(end) * stride), filler);
                return;
            }
            // Each band from the page its first row lies on; the pages a band
            // shares with the one before are made present twice, which is
            // harmless.
            uchar* const first =
                pixels + (qsizetype(top) * stride) / qsizetype(page) * qsizetype(page);
            MakePresent(first, pixels + qsizetype(end) * stride, page);
        });
    } catch (...) {
        Unmap(mapping);
        return QImage();
    }
    QImage image(pixels, width, height, stride, format, Unmap, mapping);
    if (image.isNull())
        Unmap(mapping);
    return image;
}
