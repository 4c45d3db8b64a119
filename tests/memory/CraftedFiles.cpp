#include "CraftedFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>

#include <zlib.h>

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

QByteArray Big32(uint32_t Value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(Value, bytes.data());
    return bytes;
}

QByteArray Little16(int Value)
{
    return QByteArray(1, char(Value & 0xFF)) + char((Value >> 8) & 0xFF);
}

QByteArray PngChunk(const char* Type, const QByteArray& Data)
{
    const QByteArray typed = QByteArray(Type) + Data;
    const auto* bytes = reinterpret_cast<const Bytef*>(typed.constData());
    return Big32(uint32_t(Data.size())) + typed +
           Big32(uint32_t(crc32(0, bytes, uInt(typed.size()))));
}

// Rows of zeros, each with its filter byte, deflated a row at a time.
QByteArray DeflatedZeros(int Rows, int RowBytes)
{
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    const QByteArray row(RowBytes + 1, '\0');
    QByteArray out;
    QByteArray chunk(1 << 16, '\0');
    for (int y = 0; y < Rows; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        stream.avail_in = uInt(row.size());
        const int flush = y + 1 == Rows ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream.avail_out = uInt(chunk.size());
            deflate(&stream, flush);
            out += chunk.left(chunk.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
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

QByteArray ProgressiveJpeg(QSize Size, int Scans)
{
    QImage noise(64, 64, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noise.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(noise);
    // The progressive frame header: FF C2, length, precision, height, width,
    // three components of id, sampling and table.
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC2", 2));
    bytes.replace(sof + 5, 4, Big32(uint32_t(Size.height() << 16 | Size.width())));
    for (int c = 0; c < 3; ++c)
        bytes[sof + 11 + 3 * c] = 0x11;
    const qsizetype last = bytes.lastIndexOf(QByteArray("\xFF\xDA", 2));
    const QByteArray scan = bytes.mid(last, bytes.size() - 2 - last);
    const int count = int(bytes.count(QByteArray("\xFF\xDA", 2)));
    bytes.chop(2);
    for (int i = count; i < Scans; ++i)
        bytes += scan;
    return bytes + "\xFF\xD9";
}

QByteArray GifOnScreen(QSize Screen, QSize Frame)
{
    // Two colours; the frame's data is a clear code and the end (LZW of
    // 2-bit codes, 3 bits each).
    return "GIF89a" + Little16(Screen.width()) + Little16(Screen.height()) +
           QByteArray("\x80\0\0\0\0\0\xFF\xFF\xFF", 9) + "," + Little16(0) + Little16(0) +
           Little16(Frame.width()) + Little16(Frame.height()) + QByteArray("\0\x02\x01\x2C\0;", 7);
}

QByteArray Png(QSize Size, int Depth, int ColourType)
{
    const int channels = ColourType == 6 ? 4 : ColourType == 2 ? 3 : ColourType == 4 ? 2 : 1;
    const QByteArray header = Big32(uint32_t(Size.width())) + Big32(uint32_t(Size.height())) +
                              char(Depth) + char(ColourType) + QByteArray(3, '\0');
    return "\x89PNG\r\n\x1A\n" + PngChunk("IHDR", header) +
           PngChunk("IDAT", DeflatedZeros(Size.height(), Size.width() * channels * Depth / 8)) +
           PngChunk("IEND", QByteArray());
}

QByteArray IcoHolding(const QByteArray& Picture)
{
    const QByteArray entry = QByteArray("\x10\x10\0\0\x01\0\x20\0", 8);
    QByteArray size(4, '\0');
    qToLittleEndian(uint32_t(Picture.size()), size.data());
    return QByteArray("\0\0\x01\0\x01\0", 6) + entry + size + QByteArray("\x16\0\0\0", 4) + Picture;
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

QByteArray SegmentsBefore(int Count, const QByteArray& Jpeg)
{
    QByteArray segments;
    segments.reserve(4 * qsizetype(Count));
    for (int i = 0; i < Count; ++i)
        segments.append("\xFF\xE1\x00\x02", 4);
    return Jpeg.left(2) + segments + Jpeg.mid(2);
}

QByteArray MngObject(uint32_t Width, uint32_t Height)
{
    QByteArray frame = Big32(16) + Big32(16);
    for (int i = 0; i < 5; ++i)
        frame += Big32(i == 0 ? 1 : 0);
    return "\x8AMNG\r\n\x1A\n" + PngChunk("MHDR", frame) +
           PngChunk("IHDR", Big32(Width) + Big32(Height) + QByteArray("\x08\x06\0\0\0", 5)) +
           PngChunk("IEND", QByteArray()) + PngChunk("MEND", QByteArray());
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
    const QByteArray gif = GifOnScreen(QSize(10000, 10000));
    const QByteArray ico = IcoHolding(Png(QSize(10000, 10000)));
    return WriteFile(Folder + "/declares16000.jpg", jpeg) &&
           WriteFile(Folder + "/gifs.okx", PictureFrameFile(gif)) &&
           WriteFile(Folder + "/icos.okx", PictureFrameFile(ico)) &&
           WriteFile(Folder + "/screen9000.gif", GifOnScreen(QSize(9000, 9000))) &&
           WriteFile(Folder + "/progressive.jpg", ProgressiveJpeg(QSize(11585, 11585))) &&
           WriteFile(Folder + "/scans.jpg", ProgressiveJpeg(QSize(64, 64), 600)) &&
           WriteFile(Folder + "/declares16000.okx", PictureFrameFile(pieces)) &&
           WriteFile(Folder + "/texture16000.okx", SimpleFrameFile(jpeg)) &&
           WriteFile(Folder + "/photo100mp.jpg", Photo(QSize(11547, 8660)));
}

} // namespace CraftedFiles
