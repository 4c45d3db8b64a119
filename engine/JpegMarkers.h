#pragma once

// What a JPEG's markers say, read by walking the whole stream before anything
// is decoded: the frame (size, components, their sampling, progressive or
// not), every scan with the blocks it covers, the resolution as libjpeg
// takes it from the JFIF header, and whatever makes Qt's reader give another
// result than TurboJPEG's (colour profiles, comments, frame types it handles
// otherwise), and whether the stream reaches its end. Reading the markers costs
// one pass over the bytes, far less than any decode.

#include <QSize>

#include <cstddef>
#include <cstdint>

struct TJpegMarkers
{
    bool Valid = false; // a start of image and a frame header before the first scan
    QSize Size;         // from the frame header
    int Components = 0;
    bool Progressive = false; // a progressive frame: the decoder keeps every coefficient
    int Scans = 0;
    // The segments with a length: headers, tables, scans and the others.
    int Segments = 0;
    // The blocks that all scans together cover: the decoder's work for the
    // scans, whether they carry data or not.
    int64_t ScanBlocks = 0;
    // The coefficient buffers of the whole picture, which the decoder holds
    // for a progressive or multi-scan frame, in bytes.
    int64_t CoefficientBytes = 0;
    // The JFIF resolution: the last JFIF header of full length before the
    // first scan, as libjpeg reads it.
    int DensityUnit = 0;
    int XDensity = 0;
    int YDensity = 0;
    // True when TurboJPEG gives Qt's pixels and resolution: a baseline,
    // extended or progressive Huffman frame without a colour profile,
    // comments or JFIF headers between the scans.
    bool PlainForFastDecode = false;
    // The walk reached the end-of-image marker. A JPEG cut short (a copy or
    // a download broken off) still decodes, its missing part filled grey:
    // only its end tells it from a whole one.
    bool Whole = false;
};

TJpegMarkers ReadJpegMarkers(const unsigned char* Data, size_t Size);
