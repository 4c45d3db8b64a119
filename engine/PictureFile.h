#pragma once

// A picture file the user chose, decoded or refused: a file that does not
// decode (or gives a picture that cannot be used) is reported with one
// message naming it, wherever the program reads such a file; and whether a
// file that decodes is damaged.

#include "MyGdiPlus.h"

#include <QImage>
#include <QString>

// The error for a picture file that cannot be used: "Cannot read the picture
// file %1" with the shown path.
EImagingError UnreadablePicture(const QString& FileName);

// DecodeImageFile of the whole file; raises UnreadablePicture when it does
// not decode, and the decoder's own errors (too large, budget) as they are.
QImage ReadPictureFile(const QString& FileName);

// True for a picture file that decodes with part of its picture made up: a
// JPEG cut short before its end (JpegMarkers.h), which the decoders fill grey.
// Any other file, and one that cannot be read, is not called damaged here.
bool IsDamagedPictureFile(const QString& FileName);
