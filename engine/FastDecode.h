#pragma once

// JPEG and PNG files decoded straight into 32-bit bitmaps through
// libjpeg-turbo's TurboJPEG interface and libspng, giving exactly the pixels
// and the resolution that Qt's readers give (TurboJPEG is the same
// libjpeg-turbo with the same accurate inverse DCT and smooth upsampling;
// libspng is lossless), without their row conversions and copies.
//
// Only the kinds whose result is known to match are taken: baseline,
// extended and progressive JPEG in grey or colour without a colour profile
// or comments; 8-bit PNG without transparency chunks beside a palette, gamma,
// colour profile or text (palette pictures are coloured through a table made
// as Qt's reader makes it, so that indices past the palette come out alike).
// Everything else, a picture over
// FastDecodeMaxPixels (its size read from the header before anything is
// allocated) and any decoder error or warning give no result, and the caller
// reads the file with Qt's readers instead.

#include "JpegMarkers.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>

// 64 megapixels: under the imaging layer's allowance for one picture
// (MaxPicturePixels), so nothing the fast path takes would be refused.
constexpr int64_t FastDecodeMaxPixels = int64_t(1) << 26;

// Format_RGB32 for pictures without alpha, Format_ARGB32 with alpha, as
// NormalizeDecoded gives; nothing when the bytes are not one of the kinds
// above.
// Told of a picture's rows as they are decoded, for work that follows the
// decoder: first the bitmap they go into with Rows 0, then each time more of
// its rows from the top are final. Only a PNG that is not interlaced is
// decoded row by row; the bitmap given may still be dropped when the decode
// fails afterwards (the caller then gets another picture or none).
using TRowsDecoded = std::function<void(const QImage& Picture, int Rows)>;

// Markers, when given, are what walking all of a JPEG's Bytes gave
// (ReadJpegMarkers), so that they are not walked again.
std::optional<QImage> FastDecodeBytes(const QByteArray& Bytes, const TJpegMarkers* Markers = nullptr,
                                      const TRowsDecoded& Rows = {});
