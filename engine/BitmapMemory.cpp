#include "BitmapMemory.h"

#include "PixelPass.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <thread>

namespace {

// The mapping starts with one page that records its length; the pixels
// follow on the next page.
constexpr size_t HeaderBytes = 4096;

size_t PageSize()
{
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? size_t(size) : 4096;
}

void Unmap(void* pixels)
{
    auto* mapping = static_cast<uchar*>(pixels) - HeaderBytes;
    size_t length = 0;
    std::memcpy(&length, mapping, sizeof length);
    // Giving tens of megabytes back takes milliseconds: a thread of its own
    // does it, so whoever drops the last copy of a bitmap goes on at once.
    try {
        std::thread([mapping, length] { ::munmap(mapping, length); }).detach();
    } catch (const std::exception&) {
        ::munmap(mapping, length);
    }
}

// Makes the pages of [Begin, End) present; a kernel that cannot do that in
// one call gets a write of zero on each page.
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

QImage NewPresentBitmap(int width, int height, QImage::Format format)
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
    const size_t page = PageSize();
    if (HeaderBytes % page != 0)
        return QImage();
    const size_t length = HeaderBytes + size_t(bytes);
    void* mapped =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return QImage();
    auto* mapping = static_cast<uchar*>(mapped);
    std::memcpy(mapping, &length, sizeof length);
    uchar* const pixels = mapping + HeaderBytes;
    // The bytes QImage::fill(0) leaves in this format: RGB32 keeps its
    // opaque filler byte.
    QImage one(1, 1, format);
    one.fill(0);
    const uint32_t filler = *reinterpret_cast<const uint32_t*>(one.constBits());
    ForRowBands(height, int64_t(width) * height, [&](int top, int end) {
        if (filler != 0) {
            std::fill(reinterpret_cast<uint32_t*>(pixels + qsizetype(top) * stride),
                      reinterpret_cast<uint32_t*>(pixels + qsizetype(end) * stride), filler);
            return;
        }
        uchar* const first = pixels + (qsizetype(top) * stride) / qsizetype(page) * qsizetype(page);
        MakePresent(first, pixels + qsizetype(end) * stride, page);
    });
    QImage image(pixels, width, height, stride, format, Unmap, pixels);
    if (image.isNull())
        Unmap(pixels);
    return image;
}
