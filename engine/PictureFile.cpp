#include "PictureFile.h"

#include "UniFuncs.h"

EImagingError UnreadablePicture(const QString& FileName)
{
    return EImagingError(FileMessage("Cannot read the picture file %1", FileName));
}

QImage ReadPictureFile(const QString& FileName)
{
    QImage picture = DecodeImageFile(FileName);
    if (picture.isNull())
        throw UnreadablePicture(FileName);
    return picture;
}
