#include "PictureFile.h"

#include "JpegMarkers.h"
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
    if (!OpenRegularFile(file, FileName) || !file.peek(3).startsWith("\xFF\xD8\xFF"))
        return false;
    // Mapped, not read: the walk touches each page once, whatever the size.
    const uchar* bytes = file.map(0, file.size());
    return bytes && !ReadJpegMarkers(bytes, size_t(file.size())).Whole;
}
