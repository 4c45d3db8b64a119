#pragma once

// 32-bit bitmaps encoded as JPEG through libjpeg-turbo, the same library that
// Qt's writer uses, set up as Qt's writer sets it up: baseline, 4:2:0 chroma
// subsampling, the accurate DCT, the standard Huffman tables, the quality
// scaled as jpeg_set_quality does with baseline limits, and the resolution in
// the JFIF header chosen as Qt chooses it. Every setting is given by the
// program (TJpegCompressor): the environment changes none of them.
//
// A picture under FastEncodeStripPixels comes out byte for byte as Qt's
// writer gives it. A larger one is encoded in bands of whole MCU rows on a
// few threads, the bands joined by restart markers: the entropy-coded data
// changes by those markers only, so it decodes to exactly the pixels of
// Qt's output.
//
// Only RGB32, ARGB32 and ARGB32_Premultiplied bitmaps without texts or a
// colour space are taken (alpha is dropped, as Qt's writer drops it); any
// other picture, or a failure of the encoder, gives no result and the caller
// uses Qt's writer. A picture that JPEG cannot hold (JpegHolds) gives none
// either.

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>

// From this many pixels on, a picture is encoded in bands.
constexpr int64_t FastEncodeStripPixels = int64_t(1) << 20;

// Rows [Top, End) of a picture that is still being drawn, made just before
// they are encoded, so that a picture is encoded band by band behind its
// drawing: each thread asks for its bands from the top down, several
// threads at once.
using TRowsBeforeEncoding = std::function<void(int Top, int End)>;

// Quality 0 to 100; -1 is Qt's default, 75. Rows, when given, is asked for
// every row before this returns, whatever it returns, unless it raises; what
// it raises is raised here.
std::optional<QByteArray> FastEncodeJpeg(const QImage& image, int quality,
                                         const TRowsBeforeEncoding& rows = {});
