#include "PictureFile.h"

#include "JpegEnd.h"
#include "UniFuncs.h"

#include <QFile>

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

bool IsDamagedPictureFile(const QString& FileName)
{
    QFile file;
    return OpenRegularFile(file, FileName) && FindJpegEnd(file) == TJpegEnd::CutShort;
}
