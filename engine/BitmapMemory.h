#pragma once

// Pixel memory for large bitmaps. Fresh memory comes from the system page by
// page, each page on its first write, and for a bitmap of tens of megabytes
// those faults cost more than the decoding or drawing that fills it. A
// bitmap from here is mapped on its own and all its pages are made present
// up front, in bands on the work pool, so the work that fills it runs
// without interruption; the mapping goes when the last copy of the bitmap
// goes.

#include <QImage>

#include <cstddef>
#include <cstdint>

// From this many bytes on, NewPresentBitmap maps the pixels itself; smaller
// bitmaps are Qt's own.
constexpr int64_t PresentBitmapBytes = int64_t(4) << 20;

// A bitmap of Width x Height in a 32-bit Format, every pixel as
// QImage::fill(0) leaves it; null when the memory cannot be had. Other
// formats are Qt's own, filled the same way. PageSize is the system's
// unless given (any power of two works: it only sets the steps in which the
// pages are made present).
QImage NewPresentBitmap(int width, int height, QImage::Format format, size_t pageSize = 0);
