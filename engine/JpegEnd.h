#pragma once

// Whether a JPEG holds its whole picture. A JPEG cut short (a copy or a
// download broken off) still decodes: the decoders fill whatever is missing
// with grey and report nothing. It is told from a whole one by its end: the
// marker segments and the entropy-coded data of its scans, walked in order,
// reach the end-of-image marker only in a whole file. The file is read in
// pieces, so a file of any size costs a few kilobytes.

class QIODevice;

enum class TJpegEnd
{
    NotJpeg,  // no start-of-image marker
    Whole,    // the end-of-image marker is reached
    CutShort, // the data ends before it (or a segment's length is no length)
};

// Reads Device from its current position to the end-of-image marker.
TJpegEnd FindJpegEnd(QIODevice& Device);
