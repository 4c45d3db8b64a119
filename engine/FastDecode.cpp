#include "FastDecode.h"

#include "BitmapMemory.h"
#include "DecodeBudget.h"
#include "UniFuncs.h"

#include <QFile>

#include <spng.h>
#include <turbojpeg.h>

#include <cstring>
#include <memory>

// Whatever the fast path takes, the readers' size check would pass.
static_assert(FastDecodeMaxPixels <= MaxPicturePixels);

namespace {

uint16_t BigEndian16(const uchar* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

bool TooLarge(int64_t w, int64_t h)
{
    return w <= 0 || h <= 0 || w * h > FastDecodeMaxPixels;
}

// ---------------------------------------------------------------------------
// JPEG

// What the markers before the first scan say: the resolution as Qt's reader
// takes it from the JFIF header, and whether anything makes Qt's result
// differ (a colour profile, comments, a frame type it handles otherwise).
struct TJpegMarkers
{
    bool Usable = false;
    int DensityUnit = 0;
    int XDensity = 0;
    int YDensity = 0;
};

TJpegMarkers ReadJpegMarkers(const QByteArray& bytes)
{
    TJpegMarkers markers;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return markers;
    bool frame = false;
    qsizetype at = 2;
    while (at + 4 <= size) {
        if (p[at] != 0xFF)
            return markers;
        const uchar marker = p[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const qsizetype length = BigEndian16(p + at + 2);
        if (length < 2 || at + 2 + length > size)
            return markers;
        const uchar* data = p + at + 4;
        const qsizetype dataLength = length - 2;
        if (marker == 0xDA) { // start of scan
            markers.Usable = frame;
            return markers;
        }
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            frame = true;
        } else if ((marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                    marker != 0xCC) ||
                   marker == 0xFE) {
            return markers; // lossless or arithmetic frames, comments
        } else if (marker == 0xE2 && dataLength >= 12 &&
                   std::memcmp(data, "ICC_PROFILE", 12) == 0) {
            return markers;
        } else if (marker == 0xE0 && dataLength >= 12 && std::memcmp(data, "JFIF", 5) == 0 &&
                   markers.DensityUnit == 0 && markers.XDensity == 0) {
            markers.DensityUnit = data[7];
            markers.XDensity = BigEndian16(data + 8);
            markers.YDensity = BigEndian16(data + 10);
        }
        at += 2 + length;
    }
    return markers;
}

struct TTurboJpegFree
{
    void operator()(void* handle) const { tjDestroy(handle); }
};

std::optional<QImage> DecodeJpeg(const QByteArray& bytes)
{
    const TJpegMarkers markers = ReadJpegMarkers(bytes);
    if (!markers.Usable)
        return std::nullopt;
    const std::unique_ptr<void, TTurboJpegFree> handle(tjInitDecompress());
    if (!handle)
        return std::nullopt;
    auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const unsigned long size = static_cast<unsigned long>(bytes.size());
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &w, &h, &subsampling, &colorspace) != 0)
        return std::nullopt;
    if (TooLarge(w, h) ||
        (colorspace != TJCS_YCbCr && colorspace != TJCS_GRAY && colorspace != TJCS_RGB))
        return std::nullopt;
    QImage image = NewPresentBitmap(w, h, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    const int flags = TJFLAG_ACCURATEDCT | TJFLAG_STOPONWARNING;
    if (tjDecompress2(handle.get(), data, size, image.bits(), w, int(image.bytesPerLine()), h,
                      TJPF_BGRX, flags) != 0)
        return std::nullopt;
    if (markers.DensityUnit == 1) {
        image.setDotsPerMeterX(int(100. * markers.XDensity / 2.54));
        image.setDotsPerMeterY(int(100. * markers.YDensity / 2.54));
    } else if (markers.DensityUnit == 2) {
        image.setDotsPerMeterX(int(100. * markers.XDensity));
        image.setDotsPerMeterY(int(100. * markers.YDensity));
    }
    return image;
}

// ---------------------------------------------------------------------------
// PNG

struct TSpngFree
{
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

// True when the chunk that Get asks for is absent.
template <class F> bool Absent(F Get)
{
    return Get() == SPNG_ECHUNKAVAIL;
}

bool HasTextOrColour(spng_ctx* png)
{
    uint32_t count = 0;
    double gamma = 0;
    uint8_t intent = 0;
    spng_iccp iccp{};
    spng_chrm_int chrm{};
    spng_exif exif{};
    return !Absent([&] { return spng_get_text(png, nullptr, &count); }) ||
           !Absent([&] { return spng_get_gama(png, &gamma); }) ||
           !Absent([&] { return spng_get_srgb(png, &intent); }) ||
           !Absent([&] { return spng_get_iccp(png, &iccp); }) ||
           !Absent([&] { return spng_get_chrm_int(png, &chrm); }) ||
           !Absent([&] { return spng_get_exif(png, &exif); });
}

// Bytes red, green, blue, alpha to the bitmap's blue, green, red, alpha. Kept
// out of line, where the compiler turns the loop into vector instructions.
[[gnu::noinline]] void RgbaToArgb(uchar* line, int w)
{
    auto* pixels = reinterpret_cast<uint32_t*>(line);
    for (int x = 0; x < w; ++x) {
        const uint32_t p = pixels[x];
        pixels[x] = (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    }
}

std::optional<QImage> DecodePng(const QByteArray& bytes)
{
    const std::unique_ptr<spng_ctx, TSpngFree> png(spng_ctx_new(0));
    if (!png || spng_set_png_buffer(png.get(), bytes.constData(), size_t(bytes.size())) != 0)
        return std::nullopt;
    spng_ihdr header{};
    if (spng_get_ihdr(png.get(), &header) != 0 || header.bit_depth != 8 ||
        TooLarge(header.width, header.height))
        return std::nullopt;
    spng_trns trns{};
    const bool transparency = !Absent([&] { return spng_get_trns(png.get(), &trns); });
    bool alpha;
    switch (header.color_type) {
    case SPNG_COLOR_TYPE_TRUECOLOR:
    case SPNG_COLOR_TYPE_GRAYSCALE:
        if (transparency)
            return std::nullopt;
        alpha = false;
        break;
    case SPNG_COLOR_TYPE_INDEXED:
        alpha = transparency;
        break;
    case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA:
    case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
        alpha = true;
        break;
    default:
        return std::nullopt;
    }
    if (HasTextOrColour(png.get()))
        return std::nullopt;
    const int w = int(header.width);
    const int h = int(header.height);
    QImage image = NewPresentBitmap(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull() || image.bytesPerLine() != qsizetype(w) * 4)
        return std::nullopt;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    if (header.interlace_method == SPNG_INTERLACE_NONE) {
        // Row by row, each row turned while it is still in the cache.
        if (spng_decode_image(png.get(), nullptr, 0, SPNG_FMT_RGBA8,
                              SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE) != 0)
            return std::nullopt;
        for (int y = 0; y < h; ++y) {
            uchar* const line = bits + y * stride;
            const int result = spng_decode_row(png.get(), line, size_t(stride));
            if (result != 0 && !(result == SPNG_EOI && y == h - 1))
                return std::nullopt;
            RgbaToArgb(line, w);
        }
    } else {
        if (spng_decode_image(png.get(), bits, size_t(image.sizeInBytes()), SPNG_FMT_RGBA8,
                              SPNG_DECODE_TRNS) != 0)
            return std::nullopt;
        for (int y = 0; y < h; ++y)
            RgbaToArgb(bits + y * stride, w);
    }
    // Chunks after the pixels (text) are known only now.
    if (HasTextOrColour(png.get()))
        return std::nullopt;
    spng_phys phys{};
    if (spng_get_phys(png.get(), &phys) == 0 && phys.unit_specifier == 1) {
        image.setDotsPerMeterX(int(phys.ppu_x));
        image.setDotsPerMeterY(int(phys.ppu_y));
    }
    return image;
}

} // namespace

std::optional<QImage> FastDecodeFile(const QString& FileName)
{
    QFile file;
    if (!OpenRegularFile(file, FileName))
        return std::nullopt;
    const QByteArray head = file.peek(8);
    const bool jpeg = head.startsWith("\xFF\xD8\xFF");
    const bool png = head.startsWith("\x89PNG\r\n\x1A\n");
    if (!jpeg && !png)
        return std::nullopt;
    // Larger files than any picture of the largest size could need are left
    // to the readers, whose checks apply.
    if (file.size() > FastDecodeMaxPixels * 4)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    file.close();
    return jpeg ? DecodeJpeg(bytes) : DecodePng(bytes);
}
