#pragma once

// A picture file the user chose, decoded or refused: a file that does not
// decode (or gives a picture that cannot be used) is reported with one
// message naming it, wherever the program reads such a file; and a photo
// file opened once and read once, which tells why it could not be opened and
// whether it is damaged.

#include "DecodeCost.h"
#include "MyGdiPlus.h"

#include <QFile>
#include <QImage>
#include <QString>

#include <functional>

// The error for a picture file that cannot be used: "Cannot read the picture
// file %1" with the shown path.
EImagingError UnreadablePicture(const QString& FileName);

// DecodeImageFile of the whole file; raises UnreadablePicture when it does
// not decode, and the decoder's own errors (too large, budget) as they are.
QImage ReadPictureFile(const QString& FileName);

class TPictureFile
{
public:
    // Opens FileName for reading; raises ENotAFile for a path that is no
    // regular file (CheckRegularFile).
    explicit TPictureFile(const QString& FileName);
    TPictureFile(const TPictureFile&) = delete;
    TPictureFile& operator=(const TPictureFile&) = delete;

    // Why the file could not be opened: the system's error number (ENOENT,
    // EACCES and the like); 0 once it is open.
    int OpenError() const { return m_openError; }

    // What decoding the file takes, from its header alone (ReadHeaderCost),
    // and the bytes the file itself takes once it is read; nothing for a
    // file that could not be opened.
    TDecodeCost HeaderCost();
    qint64 Size() const { return m_openedSize; }

    // The picture as DecodeImageFile gives it, raising what it raises; empty
    // when the file could not be opened or does not decode. Once only: the
    // file is read once, and Charge, when given, is told what the decode
    // takes before it begins (TDecodeWatch).
    QImage Decode(const std::function<void(const TDecodeCost&)>& Charge = {});

    // After Decode: the file ends before its pixels do (a JPEG cut short, see
    // TDecodeCost::Cut), or it got shorter after it was opened (a copy or a
    // sync tool rewriting it). Either decodes with part of its picture made
    // up.
    bool Damaged() const { return m_damaged; }

private:
    QString m_fileName;
    QFile m_file;
    int m_openError = 0;
    qint64 m_openedSize = 0;
    bool m_damaged = false;
};
