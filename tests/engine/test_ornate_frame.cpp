// The ornate frame: band sizes, rounding to whole tiles, the turned tile on
// each of the four mitred sides, empty and damaged input, and its frame file.

#include "MyGdiPlus.h"
#include "OrnateFrameMaker.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

// A tile whose every texel is distinct: red from u, green from v.
QImage DistinctTile(int size)
{
    QImage tile = NewBitmap(size, size);
    for (int v = 0; v < size; ++v)
        for (int u = 0; u < size; ++u)
            tile.setPixel(u, v, qRgb(u * 10 + 5, v * 10 + 5, 200));
    return tile;
}

// Hands a picture to the generator losslessly (PNG), as the designer hands
// it a JPEG stream.
void SetTile(TOrnateFrameMaker& maker, const QImage& tile)
{
    TMemoryStream stream;
    stream.open(QIODevice::ReadWrite);
    ASSERT_TRUE(EncodeImage(tile, &stream, "image/png"));
    stream.seek(0);
    maker.LoadPieceFromStream(stream);
}

// The generator with N = n whose working tile is exactly DistinctTile(n):
// a tile of (n + 2) x (n + 2) is drawn at its own size and cut to n x n.
void SetDistinctTile(TOrnateFrameMaker& maker, int n)
{
    maker.SetFrameSize(n);
    SetTile(maker, DistinctTile(n + 2));
}

QImage Render(TOrnateFrameMaker& maker, int w, int h)
{
    maker.SetWidth(w);
    maker.SetHeight(h);
    QImage bitmap;
    maker.Render(bitmap);
    return bitmap;
}

int Mod(int a, int n)
{
    return ((a % n) + n) % n;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

enum class Side
{
    Top,
    Right,
    Bottom,
    Left,
    Opening
};

// The texel (u, v) that lands on pixel (x, y) of a side: the inverse of the
// mapping in which the tile's top row follows the outer border.
QPoint TexelAt(Side side, int x, int y, int w, int h, int n)
{
    switch (side) {
    case Side::Top:
        return {Mod(x, n), Mod(y, n)};
    case Side::Right: // lands at (W - N - 1 - v, u)
        return {Mod(y, n), Mod(w - n - 1 - x, n)};
    case Side::Bottom: // lands at (-u, H - N - 1 - v)
        return {Mod(-x, n), Mod(h - n - 1 - y, n)};
    case Side::Left: // lands at (v, -u)
        return {Mod(-y, n), Mod(x, n)};
    default:
        return {};
    }
}

QRgb Texel(QPoint uv)
{
    return qRgb(uv.x() * 10 + 5, uv.y() * 10 + 5, 200);
}

} // namespace

TEST(OrnateFrameTest, BandsAreTheTileSizeWhateverTheOutput)
{
    TOrnateFrameMaker maker;
    EXPECT_EQ(maker.GetFrameSize(), 0);
    EXPECT_TRUE(maker.GetPiece().isNull());
    maker.SetFrameSize(20);
    maker.SetWidth(415);
    EXPECT_EQ(maker.GetAddedWidth(), 40);
    EXPECT_EQ(maker.GetAddedHeight(), 40);
    EXPECT_EQ(maker.GetTopBand(), 20);
    EXPECT_EQ(maker.GetLeftBand(), 20);

    // File fields are summed in 64 bits and the sums saturate.
    maker.SetFrameSize(2000000000);
    EXPECT_EQ(maker.GetAddedWidth(), INT32_MAX);
    maker.SetFrameSize(-2000000000);
    EXPECT_EQ(maker.GetAddedHeight(), INT32_MIN);
}

TEST(OrnateFrameTest, OutputIsRoundedDownToWholeTilesInTheGenerator)
{
    TOrnateFrameMaker maker;
    SetDistinctTile(maker, 20);
    const QImage first = Render(maker, 415, 307);
    EXPECT_EQ(first.size(), QSize(400, 300));
    EXPECT_EQ(first.format(), QImage::Format_ARGB32);
    EXPECT_EQ(maker.GetWidth(), 400);
    EXPECT_EQ(maker.GetHeight(), 300);
    EXPECT_EQ(maker.GetAddedWidth(), 40);

    // A second render without a new size keeps the rounded size and gives
    // an equal, independent bitmap.
    QImage second;
    maker.Render(second);
    EXPECT_TRUE(SamePixels(first, second));
    second.fill(0);
    EXPECT_EQ(AlphaAt(first, 0, 0), 255);

    // The bitmap passed in is replaced.
    QImage old = MakeSolid(5, 5, Qt::red);
    maker.Render(old);
    EXPECT_EQ(old.size(), QSize(400, 300));
}

TEST(OrnateFrameTest, EverySidePutsTheTileTopRowAlongTheOuterBorder)
{
    const int n = 8;
    const int w = 72;
    const int h = 48;
    TOrnateFrameMaker maker;
    SetDistinctTile(maker, n);
    const QImage bitmap = Render(maker, w, h);
    ASSERT_EQ(bitmap.size(), QSize(w, h));

    int checked[4] = {};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = PixelAt(bitmap, x, y);
            // Distances to the four outer borders decide the side; a pixel
            // on a mitre (two equal smallest distances) may go to either.
            const int d[4] = {y, w - 1 - x, h - 1 - y, x};
            int best = 0;
            for (int i = 1; i < 4; ++i)
                if (d[i] < d[best])
                    best = i;
            if (d[best] >= n) {
                EXPECT_EQ(qAlpha(pixel), 0) << "opening at " << x << "," << y;
                continue;
            }
            std::vector<Side> sides;
            for (int i = 0; i < 4; ++i)
                if (d[i] == d[best])
                    sides.push_back(Side(i));
            ASSERT_EQ(qAlpha(pixel), 255) << "frame pixel left transparent at " << x << "," << y;
            if (sides.size() == 1) {
                EXPECT_EQ(pixel, Texel(TexelAt(sides[0], x, y, w, h, n)))
                    << "side " << int(sides[0]) << " at " << x << "," << y;
                ++checked[best];
            } else {
                bool matches = false;
                for (Side side : sides)
                    matches = matches || pixel == Texel(TexelAt(side, x, y, w, h, n));
                EXPECT_TRUE(matches) << "mitre at " << x << "," << y;
            }
        }
    }
    for (int count : checked)
        EXPECT_GT(count, 0);

    // The table's landing points, spelled out for texel (u, v) = (2, 0) and
    // (2, 7): the top row on the outer border, the bottom row on the opening.
    EXPECT_EQ(PixelAt(bitmap, 2, 0), Texel({2, 0}));
    EXPECT_EQ(PixelAt(bitmap, w - 1, 2 + n), Texel({2, 0}));
    EXPECT_EQ(PixelAt(bitmap, w - n, 2 + n), Texel({2, 7}));
    EXPECT_EQ(PixelAt(bitmap, 2 * n - 2, h - 1), Texel({2, 0}));
    EXPECT_EQ(PixelAt(bitmap, 2 * n - 2, h - n), Texel({2, 7}));
    EXPECT_EQ(PixelAt(bitmap, 0, 2 * n - 2), Texel({2, 0}));
    EXPECT_EQ(PixelAt(bitmap, n - 1, 2 * n - 2), Texel({2, 7}));
}

TEST(OrnateFrameTest, RedOverBlueTileShowsRedOutsideAndBlueInsideOnAllSides)
{
    QImage tile = MakeSolid(64, 64, Qt::red);
    {
        QPainter painter(&tile);
        painter.fillRect(0, 32, 64, 32, Qt::blue);
    }
    TOrnateFrameMaker maker;
    maker.SetFrameSize(20);
    SetTile(maker, tile);
    const QImage bitmap = Render(maker, 200, 160);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    for (int i = 40; i < 120; i += 7) {
        EXPECT_EQ(PixelAt(bitmap, i, 0), red);
        EXPECT_EQ(PixelAt(bitmap, i, 19), blue);
        EXPECT_EQ(PixelAt(bitmap, 199, i), red);
        EXPECT_EQ(PixelAt(bitmap, 180, i), blue);
        EXPECT_EQ(PixelAt(bitmap, i, 159), red);
        EXPECT_EQ(PixelAt(bitmap, i, 140), blue);
        EXPECT_EQ(PixelAt(bitmap, 0, i), red);
        EXPECT_EQ(PixelAt(bitmap, 19, i), blue);
    }
}

TEST(OrnateFrameTest, LargerTileIsStretchedToTwoMoreThanTheTileSizeAndCut)
{
    const QImage piece = MakeGradient(64, 64);
    TOrnateFrameMaker maker;
    maker.SetFrameSize(20);
    SetTile(maker, piece);
    const QImage bitmap = Render(maker, 100, 100);

    QImage stretched = NewBitmap(22, 22, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&stretched);
        SetInterpolationMode(painter, TInterpolation::Bilinear);
        DrawBitmap(painter, piece, QRectF(0, 0, 22, 22), piece.rect());
    }
    // Inner pixels of the top side show the working tile unturned.
    for (int y = 0; y < 19; ++y)
        for (int x = 20; x < 80; ++x)
            ASSERT_EQ(PixelAt(bitmap, x, y), PixelAt(stretched, x % 20, y)) << x << "," << y;
}

TEST(OrnateFrameTest, MissingTileOrSizesBelowOneTileGiveTransparentOrEmptyResults)
{
    TOrnateFrameMaker maker;
    maker.SetFrameSize(10);
    QImage bitmap = Render(maker, 55, 43);
    ASSERT_EQ(bitmap.size(), QSize(50, 40));
    EXPECT_TRUE(SamePixels(bitmap, NewBitmap(50, 40)));

    // An empty stream gives an empty tile.
    SetDistinctTile(maker, 10);
    TMemoryStream empty;
    maker.LoadPieceFromStream(empty);
    EXPECT_TRUE(maker.GetPiece().isNull());
    SetDistinctTile(maker, 10);
    EXPECT_TRUE(Render(maker, 9, 100).isNull());
    EXPECT_EQ(maker.GetWidth(), 0);
    EXPECT_EQ(maker.GetHeight(), 100);
    EXPECT_TRUE(Render(maker, -25, 100).isNull());
    EXPECT_EQ(maker.GetWidth(), 0);
}

TEST(OrnateFrameTest, DamagedTileSizesNeverCrashOrAllocateHugeTiles)
{
    TOrnateFrameMaker maker;
    SetDistinctTile(maker, 4);
    for (int n : {0, -7, INT32_MIN}) {
        maker.SetFrameSize(n);
        const QImage bitmap = Render(maker, 30, 20);
        ASSERT_EQ(bitmap.size(), QSize(30, 20)) << n;
        EXPECT_TRUE(SamePixels(bitmap, NewBitmap(30, 20))) << n;
    }
    // A thumbnail of a frame whose tile is larger than the thumbnail.
    maker.SetFrameSize(40000);
    EXPECT_TRUE(Render(maker, 270, 270).isNull());
    maker.SetFrameSize(INT32_MAX);
    EXPECT_THROW(Render(maker, INT32_MAX, INT32_MAX), EImagingError);

    // An output above the pixel limit is the imaging layer's error, and the
    // generator stays usable.
    maker.SetFrameSize(4);
    maker.SetWidth(1 << 20);
    maker.SetHeight(1 << 20);
    QImage bitmap;
    EXPECT_THROW(maker.Render(bitmap), EImagingError);
    EXPECT_EQ(Render(maker, 16, 16).size(), QSize(16, 16));
}

TEST(OrnateFrameTest, FileWithoutTileIsEighteenBytes)
{
    TTempDir dir;
    TOrnateFrameMaker maker;
    maker.SetFrameSize(0x01020304);
    const QString path = dir.file("plain.okx");
    maker.SaveToFile(path);
    const QByteArray expected("OKX\0\0\x01\x04\x03\x02\x01\0\0\0\0\0\0\0\0", 18);
    EXPECT_EQ(FileBytes(path), expected);

    TOrnateFrameMaker loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.GetFrameSize(), 0x01020304);
    EXPECT_TRUE(loaded.GetPiece().isNull());
}

TEST(OrnateFrameTest, TileRoundTripsAsOpaqueJpeg)
{
    TTempDir dir;
    QImage tile = MakeGradient(30, 30);
    tile.setPixel(3, 3, qRgba(0, 0, 0, 0));
    TOrnateFrameMaker maker;
    maker.SetFrameSize(25);
    SetTile(maker, tile);
    const QString path = dir.file("tile.okx");
    maker.SaveToFile(path);

    const QByteArray bytes = FileBytes(path);
    ASSERT_GT(bytes.size(), 18);
    EXPECT_EQ(bytes.left(6), QByteArray("OKX\0\0\x01", 6));
    EXPECT_EQ(bytes.mid(6, 8), QByteArray("\x19\0\0\0\0\0\0\0", 8));
    const uint32_t count = uint8_t(bytes[14]) | uint8_t(bytes[15]) << 8 | uint8_t(bytes[16]) << 16 |
                           uint32_t(uint8_t(bytes[17])) << 24;
    EXPECT_EQ(count, uint32_t(bytes.size() - 18));
    EXPECT_EQ(bytes.mid(18, 2), QByteArray("\xFF\xD8"));

    // Other letters than "OKX" load all the same.
    QByteArray renamed = bytes;
    renamed.replace(0, 3, "abc");
    TOrnateFrameMaker loaded;
    loaded.LoadFromFile(dir.write("renamed.okx", renamed));
    EXPECT_EQ(loaded.GetFrameSize(), 25);
    ASSERT_EQ(loaded.GetPiece().size(), QSize(30, 30));
    EXPECT_EQ(AlphaAt(loaded.GetPiece(), 3, 3), 255);
    EXPECT_LE(MaxChannelDifference(loaded.GetPiece().convertToFormat(QImage::Format_ARGB32),
                                   MakeGradient(30, 30)),
              40);
}

TEST(OrnateFrameTest, DamagedFilesFailWithStreamErrors)
{
    TTempDir dir;
    TOrnateFrameMaker maker;
    EXPECT_THROW(maker.LoadFromFile(dir.file("missing.okx")), EFOpenError);
    EXPECT_THROW(maker.LoadFromFile(dir.write("short.okx", QByteArray("OKX\0\0\x01\x05\0", 8))),
                 EReadError);
    EXPECT_EQ(maker.GetFrameSize(), 0);

    // A count far beyond the file's end fails before anything that large is
    // made; the complete record's field stays set.
    QByteArray huge("OKX\0\0\x01\x14\0\0\0\0\0\0\0\0\0\xF0\x7F", 18);
    huge.append(QByteArray(42, 'x'));
    try {
        maker.LoadFromFile(dir.write("huge.okx", huge));
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    EXPECT_EQ(maker.GetFrameSize(), 20);

    // Undecodable picture bytes give an empty tile, not an error.
    QByteArray garbage("OKX\0\0\x01\x14\0\0\0\0\0\0\0\x04\0\0\0junk", 22);
    maker.LoadFromFile(dir.write("garbage.okx", garbage));
    EXPECT_TRUE(maker.GetPiece().isNull());
}

TEST(OrnateFrameTest, FailedSaveNamesTheFrameFileAndKeepsTheOldOne)
{
    TTempDir dir;
    TOrnateFrameMaker maker;
    maker.SetFrameSize(9);
    const QString missingFolder = dir.file("no/such/folder/frame.okx");
    try {
        maker.SaveToFile(missingFolder);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), "Cannot create file " + missingFolder);
    }

    // A write that fails half-way (here: the file size limit, which binds
    // every user) leaves the old frame file as it was.
    const QString path = dir.file("frame.okx");
    maker.SaveToFile(path);
    const QByteArray before = FileBytes(path);
    SetTile(maker, MakeGradient(40, 40));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(maker.SaveToFile(path), EFCreateError);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(FileBytes(path), before);
}
