#pragma once

// A picture drawn at a size worked out from its own (fitted into the canvas,
// into the picture frame designer's grid) that comes to no pixel across or
// down shows nothing at all: such a picture is refused wherever it is shown,
// with one message naming the file, what it was for and its size.

#include <QSize>
#include <QString>

// Raises EImagingError "The picture file X is too narrow to <Purpose>: W x H
// pixels" when Shown has no width ("too low" when it has no height); does
// nothing for a size with pixels. Picture is the picture's own size.
void CheckShownSize(const QString& FileName, QSize Picture, QSize Shown, const char* Purpose);
