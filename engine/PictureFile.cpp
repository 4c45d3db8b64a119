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

TPictureFile::TPictureFile(const QString& FileName) : m_fileName(FileName)
{
    CheckRegularFile(FileName);
    if (OpenRegularFile(m_file, FileName, &m_openError))
        m_openedSize = m_file.size();
}

QImage TPictureFile::Decode()
{
    if (!m_file.isOpen())
        return QImage();
    bool cut = false;
    QImage picture = DecodeImageFile(m_file, m_fileName, QSize(), &cut);
    m_damaged = cut || m_file.size() < m_openedSize;
    return picture;
}
