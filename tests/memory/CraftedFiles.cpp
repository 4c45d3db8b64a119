#include "CraftedFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

namespace CraftedFiles {

namespace {

QByteArray EncodeJpeg(const QImage& Image, int Quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(Quality);
    writer.write(Image);
    return bytes;
}

void PutUInt32(QByteArray& Bytes, int Offset, uint32_t Value)
{
    for (int i = 0; i < 4; ++i)
        Bytes[Offset + i] = char((Value >> (8 * i)) & 0xFF);
}

QByteArray Header(char Type)
{
    return QByteArray("OKX\0\0", 5) + Type;
}

} // namespace

QByteArray JpegDeclaring(QSize Size, int Seed, int Side)
{
    QImage noise(Side, Side, QImage::Format_RGB32);
    QRandomGenerator random(quint32(Seed + 1));
    for (int y = 0; y < Side; ++y) {
        auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
        for (int x = 0; x < Side; ++x)
            line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    QByteArray bytes = EncodeJpeg(noise, 90);
    // The baseline frame header: FF C0, length, precision, height, width.
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        return {};
    bytes[sof + 5] = char(Size.height() >> 8);
    bytes[sof + 6] = char(Size.height() & 0xFF);
    bytes[sof + 7] = char(Size.width() >> 8);
    bytes[sof + 8] = char(Size.width() & 0xFF);
    return bytes;
}

QByteArray PictureFrameFile(const QByteArray (&Pieces)[12])
{
    QByteArray record(56, '\0');
    for (int i = 0; i < 12; ++i)
        PutUInt32(record, 8 + 4 * i, uint32_t(Pieces[i].size()));
    QByteArray file = Header(2) + record;
    for (const QByteArray& piece : Pieces)
        file += piece;
    return file;
}

QByteArray PictureFrameFile(const QByteArray& Piece)
{
    QByteArray pieces[12];
    for (QByteArray& piece : pieces)
        piece = Piece;
    return PictureFrameFile(pieces);
}

QByteArray SimpleFrameFile(const QByteArray& Texture)
{
    QByteArray record(40, '\0');
    PutUInt32(record, 0, 20); // FrameWidth
    PutUInt32(record, 4, 20); // FrameHeight
    record[25] = 1;           // UseTexture
    PutUInt32(record, 32, uint32_t(Texture.size()));
    return Header(0) + record + Texture;
}

QByteArray Photo(QSize Size)
{
    QImage photo(Size, QImage::Format_RGB32);
    photo.fill(QColor(90, 140, 200));
    {
        QPainter painter(&photo);
        painter.fillRect(QRect(0, Size.height() / 2, Size.width(), Size.height() / 2),
                         QColor(70, 120, 40));
        painter.setBrush(QColor(250, 220, 60));
        painter.drawEllipse(QPoint(Size.width() / 4, Size.height() / 4), Size.height() / 10,
                            Size.height() / 10);
    }
    return EncodeJpeg(photo, 85);
}

bool WriteFile(const QString& Path, const QByteArray& Bytes)
{
    QFile file(Path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(Bytes) == Bytes.size();
}

bool WriteMemoryCases(const QString& Folder)
{
    const QSize huge(16000, 16000);
    const QByteArray jpeg = JpegDeclaring(huge);
    QByteArray pieces[12];
    for (int i = 0; i < 12; ++i)
        pieces[i] = JpegDeclaring(huge, i, 345);
    return WriteFile(Folder + "/declares16000.jpg", jpeg) &&
           WriteFile(Folder + "/declares16000.okx", PictureFrameFile(pieces)) &&
           WriteFile(Folder + "/texture16000.okx", SimpleFrameFile(jpeg)) &&
           WriteFile(Folder + "/photo100mp.jpg", Photo(QSize(11547, 8660)));
}

} // namespace CraftedFiles
