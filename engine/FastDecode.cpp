#include "FastDecode.h"

#include "BitmapMemory.h"
#include "DecodeBudget.h"
#include "JpegMarkers.h"

#include <spng.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

// Whatever the fast path takes, the readers' size check would pass.
static_assert(FastDecodeMaxPixels <= MaxPicturePixels);

namespace {

bool TooLarge(int64_t w, int64_t h)
{
    return w <= 0 || h <= 0 || w * h > FastDecodeMaxPixels;
}

// ---------------------------------------------------------------------------
// JPEG

struct TTurboJpegFree
{
    void operator()(void* handle) const { tjDestroy(handle); }
};

std::optional<QImage> DecodeJpeg(const QByteArray& bytes, const TJpegMarkers* walked)
{
    auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const TJpegMarkers markers = walked ? *walked : ReadJpegMarkers(data, size_t(bytes.size()));
    if (!markers.PlainForFastDecode)
        return std::nullopt;
    const std::unique_ptr<void, TTurboJpegFree> handle(tjInitDecompress());
    if (!handle)
        return std::nullopt;
    const unsigned long size = static_cast<unsigned long>(bytes.size());
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &w, &h, &subsampling, &colorspace) != 0)
        return std::nullopt;
    if (TooLarge(w, h) ||
        (colorspace != TJCS_YCbCr && colorspace != TJCS_GRAY && colorspace != TJCS_RGB))
        return std::nullopt;
    QImage image = NewPresentBitmap(w, h, QImage::Format_RGB32, TNewPixels::Overwritten);
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

// The colours of a palette picture as Qt's reader gives them: the palette
// with the transparency chunk's alpha, and the first colour for every index
// past the palette, which the reader turns into index 0. Empty when there is
// no palette or the transparency chunk is longer than it.
std::vector<QRgb> PaletteColours(spng_ctx* png, bool& alpha)
{
    spng_plte plte{};
    spng_trns trns{};
    if (spng_get_plte(png, &plte) != 0)
        return {};
    if (spng_get_trns(png, &trns) != 0)
        trns.n_type3_entries = 0;
    if (plte.n_entries == 0 || trns.n_type3_entries > plte.n_entries)
        return {};
    std::vector<QRgb> colours(256);
    alpha = false;
    for (uint32_t i = 0; i < plte.n_entries; ++i) {
        const spng_plte_entry& e = plte.entries[i];
        const int a = i < trns.n_type3_entries ? trns.type3_alpha[i] : 255;
        colours[i] = qRgba(e.red, e.green, e.blue, a);
        alpha = alpha || a != 255;
    }
    std::fill(colours.begin() + plte.n_entries, colours.end(), colours[0]);
    return colours;
}

void Colour(const uchar* indices, const std::vector<QRgb>& colours, uchar* line, int w)
{
    auto* pixels = reinterpret_cast<QRgb*>(line);
    for (int x = 0; x < w; ++x)
        pixels[x] = colours[indices[x]];
}

// The resolution a PNG gives, set on Image.
void SetResolution(spng_ctx* png, QImage& image)
{
    spng_phys phys{};
    if (spng_get_phys(png, &phys) == 0 && phys.unit_specifier == 1) {
        image.setDotsPerMeterX(int(phys.ppu_x));
        image.setDotsPerMeterY(int(phys.ppu_y));
    }
}

std::optional<QImage> DecodePng(const QByteArray& bytes, const TRowsDecoded& rows)
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
    bool alpha = false;
    std::vector<QRgb> colours;
    switch (header.color_type) {
    case SPNG_COLOR_TYPE_TRUECOLOR:
    case SPNG_COLOR_TYPE_GRAYSCALE:
        if (transparency)
            return std::nullopt;
        break;
    case SPNG_COLOR_TYPE_INDEXED:
        colours = PaletteColours(png.get(), alpha);
        if (colours.empty())
            return std::nullopt;
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
    QImage image = NewPresentBitmap(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32,
                                    TNewPixels::Overwritten);
    if (image.isNull() || image.bytesPerLine() != qsizetype(w) * 4)
        return std::nullopt;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    // Palette pictures are decoded to their indices and coloured here.
    const bool indexed = !colours.empty();
    const int format = indexed ? SPNG_FMT_PNG : SPNG_FMT_RGBA8;
    const int flags = indexed ? 0 : SPNG_DECODE_TRNS;
    const auto finish = [&](uchar* line, const uchar* decoded) {
        if (indexed)
            Colour(decoded, colours, line, w);
        else
            RgbaToArgb(line, w);
    };
    if (header.interlace_method == SPNG_INTERLACE_NONE) {
        // Row by row, each row finished while it is still in the cache.
        if (spng_decode_image(png.get(), nullptr, 0, format, flags | SPNG_DECODE_PROGRESSIVE) != 0)
            return std::nullopt;
        // The resolution comes before the pixels: the bitmap has it before
        // anybody else sees it.
        SetResolution(png.get(), image);
        if (rows)
            rows(image, 0);
        constexpr int RowsTold = 16;
        std::vector<uchar> row(indexed ? size_t(w) : 0);
        for (int y = 0; y < h; ++y) {
            uchar* const line = bits + y * stride;
            uchar* const target = indexed ? row.data() : line;
            const int result =
                spng_decode_row(png.get(), target, indexed ? row.size() : size_t(stride));
            if (result != 0 && !(result == SPNG_EOI && y == h - 1))
                return std::nullopt;
            finish(line, target);
            if (rows && ((y + 1) % RowsTold == 0 || y == h - 1))
                rows(image, y + 1);
        }
    } else if (indexed) {
        std::vector<uchar> indices(size_t(w) * size_t(h));
        if (spng_decode_image(png.get(), indices.data(), indices.size(), format, flags) != 0)
            return std::nullopt;
        for (int y = 0; y < h; ++y)
            finish(bits + y * stride, indices.data() + size_t(y) * size_t(w));
    } else {
        if (spng_decode_image(png.get(), bits, size_t(image.sizeInBytes()), format, flags) != 0)
            return std::nullopt;
        for (int y = 0; y < h; ++y)
            finish(bits + y * stride, nullptr);
    }
    // Chunks after the pixels (text) are known only now.
    if (HasTextOrColour(png.get()))
        return std::nullopt;
    SetResolution(png.get(), image);
    return image;
}

} // namespace

std::optional<QImage> FastDecodeBytes(const QByteArray& Bytes, const TJpegMarkers* Markers,
                                      const TRowsDecoded& Rows)
{
    // Larger files than any picture of the largest size could need are left
    // to the readers, whose checks apply.
    if (Bytes.size() > FastDecodeMaxPixels * 4)
        return std::nullopt;
    if (Bytes.startsWith("\xFF\xD8\xFF"))
        return DecodeJpeg(Bytes, Markers);
    if (Bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return DecodePng(Bytes, Rows);
    return std::nullopt;
}
