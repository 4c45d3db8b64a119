#pragma once

// What decoding a picture will take, read from its header before a pixel is
// decoded. A reader's own size is not always what its decoder allocates: a
// GIF reader gives the first frame while the decoder paints it on the whole
// logical screen, an ICO or ICNS reader gives its directory's size while the
// PNG inside decodes at its own, and some decoders hold far more than the
// picture while they work (the coefficients of a progressive JPEG, pixels of
// 16 bits a channel before their conversion to 32 bits, the canvas of an
// animation). Where the format's header says more than its reader, the
// header is read here; for the other formats the reader's size and pixel
// format are taken as they are.

#include "JpegMarkers.h"

#include <QSize>
#include <QString>

#include <cstdint>

class QImageReader;
class QIODevice;

struct TDecodeCost
{
    // The largest picture the decoder makes; invalid when nothing tells.
    QSize Size;
    // That picture at 32 bits a pixel, or wider where it is decoded wider.
    int64_t PictureBytes = 0;
    // The most the decode holds at once: the decoder's pictures, its working
    // memory and the conversion to 32 bits.
    int64_t PeakBytes = 0;
    // For a JPEG: its scans and the blocks they cover together, the work of
    // reading them whether they carry data or not.
    int Scans = 0;
    int64_t ScanBlocks = 0;
    // For a JPEG: its segments (JpegMarkers.h).
    int Segments = 0;
    // The most pixels a side that the decoder reads; 0 for no limit of its
    // own.
    int MaxSide = 0;
    // The file ends before its pixels do: a JPEG without its end, a BMP
    // shorter than the pixel data its header gives, a GIF whose first
    // frame's data runs past the end. The decoders still give a picture, its
    // missing part grey or as they leave it.
    bool Cut = false;
    // The picture decodes without transparency, whatever the decoder (a
    // JPEG); false where that is not known.
    bool Opaque = false;
    // For a JPEG whose markers were all walked: what they say, so that the
    // same bytes need no second walk.
    TJpegMarkers Markers;

    bool Known() const { return Size.isValid() && !Size.isEmpty(); }
    // The header gives a side of no pixels: nothing could be decoded.
    bool EmptySide() const { return Size.isValid() && Size.isEmpty(); }
};

// The cost of the picture in Device, read from its current position, which
// is kept. Reader reads the same device, still at that position; its size
// and pixel format serve the formats whose header it reads as it is.
TDecodeCost ReadDecodeCost(QIODevice& Device, QImageReader& Reader);

// The same from the header alone, for a file that is not read yet: a JPEG's
// markers are read up to its frame header, so its size and what it holds
// while it decodes are known, and its scans, segments and end are not.
TDecodeCost ReadHeaderCost(QIODevice& Device, QImageReader& Reader);


// The size of the picture in Device as its decoder makes it, read from its
// current position as ReadDecodeCost reads it; invalid when nothing tells. A
// JPEG's frame is found by walking its segments up to it, never by Qt's
// reader, which takes time by the square of their number.
QSize ReadPictureSize(QIODevice& Device, QImageReader& Reader);
