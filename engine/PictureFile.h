#pragma once

// A picture file the user chose, decoded or refused: a file that does not
// decode (or gives a picture that cannot be used) is reported with one
// message naming it, wherever the program reads such a file.

#include "MyGdiPlus.h"

#include <QImage>
#include <QString>

// The error for a picture file that cannot be used: "Cannot read the picture
// file %1" with the shown path.
EImagingError UnreadablePicture(const QString& FileName);

// DecodeImageFile of the whole file; raises UnreadablePicture when it does
// not decode, and the decoder's own errors (too large, budget) as they are.
QImage ReadPictureFile(const QString& FileName);
