// The picture frame: band sizes from the pieces, natural pieces and strips
// with their brush offsets, the loaded state, and its frame file.

#include "MyGdiPlus.h"
#include "PicFrameMaker.h"

#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// A piece whose every pixel is distinct and tells the piece apart: red from
// x, green from y, blue from the piece index.
QImage Piece(int index, int w, int h)
{
    QImage piece = NewBitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            piece.setPixel(x, y, qRgb(x * 8, y * 8, index * 20));
    return piece;
}

QRgb PieceTexel(int index, int x, int y)
{
    return qRgb(x * 8, y * 8, index * 20);
}

int Mod(int a, int n)
{
    return ((a % n) + n) % n;
}

// Corners of 30 x 30, end pieces of 30 x 10, edges of 20 x 30 (top and
// bottom) and 30 x 20 (left and right).
void SetExamplePieces(TPicFrameMaker& maker)
{
    for (int i : {0, 2, 6, 8})
        maker.SetPiece(Piece(i, 30, 30), i);
    for (int i : {3, 5, 9, 11})
        maker.SetPiece(Piece(i, 30, 10), i);
    for (int i : {1, 7})
        maker.SetPiece(Piece(i, 20, 30), i);
    for (int i : {4, 10})
        maker.SetPiece(Piece(i, 30, 20), i);
}

QImage Render(TPicFrameMaker& maker, int w, int h)
{
    maker.SetWidth(w);
    maker.SetHeight(h);
    QImage bitmap;
    maker.Render(bitmap);
    return bitmap;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

uint32_t CountAt(const QByteArray& bytes, int offset)
{
    return uint8_t(bytes[offset]) | uint8_t(bytes[offset + 1]) << 8 |
           uint8_t(bytes[offset + 2]) << 16 | uint32_t(uint8_t(bytes[offset + 3])) << 24;
}

// Checks that the rectangle shows piece `index` repeated from (ox, oy).
void ExpectStrip(const QImage& bitmap, QRect rect, int index, QSize size, QPoint origin)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ASSERT_EQ(PixelAt(bitmap, x, y), PieceTexel(index, Mod(x - origin.x(), size.width()),
                                                        Mod(y - origin.y(), size.height())))
                << "piece " << index << " at " << x << "," << y;
}

void ExpectNatural(const QImage& bitmap, QPoint at, int index, QSize size)
{
    ExpectStrip(bitmap, QRect(at, size), index, size, at);
}

void ExpectTransparent(const QImage& bitmap, QRect rect)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ASSERT_EQ(AlphaAt(bitmap, x, y), 0) << x << "," << y;
}

} // namespace

TEST(PicFrameTest, NewGeneratorRendersNothingUntilLoaded)
{
    TPicFrameMaker maker;
    EXPECT_EQ(maker.GetAddedWidth(), 0);
    EXPECT_EQ(maker.GetTopBand(), 0);
    QImage untouched = MakeSolid(3, 3, Qt::green);
    maker.SetWidth(50);
    maker.SetHeight(40);
    maker.Render(untouched);
    EXPECT_EQ(untouched.size(), QSize(3, 3));

    // Removing a piece that is not there still marks the generator loaded.
    maker.SetPiece(QImage(), 3);
    const QImage bitmap = Render(maker, 50, 40);
    ASSERT_EQ(bitmap.size(), QSize(50, 40));
    EXPECT_EQ(bitmap.format(), QImage::Format_ARGB32);
    EXPECT_TRUE(SamePixels(bitmap, NewBitmap(50, 40)));
}

TEST(PicFrameTest, ExampleFrameDrawsCornersEndsAndStripsWhereTheyBelong)
{
    TPicFrameMaker maker;
    SetExamplePieces(maker);
    EXPECT_EQ(maker.GetAddedWidth(), 60);
    EXPECT_EQ(maker.GetAddedHeight(), 60);
    EXPECT_EQ(maker.GetLeftBand(), 30);
    EXPECT_EQ(maker.GetTopBand(), 30);

    const QImage bitmap = Render(maker, 200, 150);
    ASSERT_EQ(bitmap.size(), QSize(200, 150));
    ExpectNatural(bitmap, {0, 0}, 0, {30, 30});
    ExpectNatural(bitmap, {170, 0}, 2, {30, 30});
    ExpectNatural(bitmap, {170, 30}, 3, {30, 10});
    ExpectNatural(bitmap, {170, 110}, 5, {30, 10});
    ExpectNatural(bitmap, {170, 120}, 6, {30, 30});
    ExpectNatural(bitmap, {0, 120}, 8, {30, 30});
    ExpectNatural(bitmap, {0, 110}, 9, {30, 10});
    ExpectNatural(bitmap, {0, 30}, 11, {30, 10});
    // The top strip repeats its piece 7 times from x = 30, the right one
    // 3.5 times from y = 40.
    ExpectStrip(bitmap, {30, 0, 140, 30}, 1, {20, 30}, {30, 0});
    ExpectStrip(bitmap, {170, 40, 30, 70}, 4, {30, 20}, {170, 40});
    ExpectStrip(bitmap, {30, 120, 140, 30}, 7, {20, 30}, {30, 120});
    ExpectStrip(bitmap, {0, 40, 30, 70}, 10, {30, 20}, {0, 40});
    ExpectTransparent(bitmap, {30, 30, 140, 90});

    // Each render is a new bitmap of its own.
    QImage again = Render(maker, 200, 150);
    EXPECT_TRUE(SamePixels(again, bitmap));
    again.fill(0);
    EXPECT_EQ(AlphaAt(bitmap, 0, 0), 255);
}

TEST(PicFrameTest, BottomStripStartsAtTheCornerAndIsAnchoredAtItsOwnPiece)
{
    TPicFrameMaker maker;
    SetExamplePieces(maker);
    maker.SetPiece(Piece(7, 20, 20), 7);
    EXPECT_EQ(maker.GetAddedHeight(), 50);
    const QImage bitmap = Render(maker, 200, 150);
    // The strip covers the bottom-left corner's height (y 120 to 149); its
    // brush repeats the 20-high piece from H - h7 = 130.
    ExpectStrip(bitmap, {30, 120, 140, 30}, 7, {20, 20}, {30, 130});
}

TEST(PicFrameTest, AbsentPiecesLeaveTheirPlaceTransparent)
{
    TPicFrameMaker maker;
    SetExamplePieces(maker);
    maker.SetPiece(QImage(), 1);
    maker.SetPiece(QImage(), 6);
    EXPECT_EQ(maker.GetAddedHeight(), 30);
    EXPECT_EQ(maker.GetTopBand(), 0);
    const QImage bitmap = Render(maker, 200, 150);
    ExpectTransparent(bitmap, {30, 0, 140, 30});
    // Without the bottom-right corner the right strip runs on to the lower
    // end piece, and the bottom strip runs to the right border over both.
    ExpectStrip(bitmap, {170, 40, 30, 80}, 4, {30, 20}, {170, 40});
    ExpectStrip(bitmap, {30, 120, 170, 30}, 7, {20, 30}, {30, 120});
    // Piece indices outside the twelve are ignored.
    maker.SetPiece(Piece(0, 5, 5), 12);
    maker.SetPiece(Piece(0, 5, 5), -1);
    EXPECT_TRUE(SamePixels(Render(maker, 200, 150), bitmap));
}

TEST(PicFrameTest, OutputSmallerThanItsCornersDrawsLaterPiecesOverEarlierOnes)
{
    TPicFrameMaker maker;
    SetExamplePieces(maker);
    const QImage bitmap = Render(maker, 40, 35);
    ASSERT_EQ(bitmap.size(), QSize(40, 35));
    // The bottom-right corner (step 8) covers the top-right one, the left
    // ends (steps 10 and 11) cover the corners on the left.
    ExpectStrip(bitmap, {10, 5, 30, 25}, 6, {30, 30}, {10, 5});
    ExpectStrip(bitmap, {30, 30, 10, 5}, 6, {30, 30}, {10, 5});
    ExpectStrip(bitmap, {0, 0, 30, 5}, 9, {30, 10}, {0, -5});
    ExpectStrip(bitmap, {0, 30, 30, 5}, 11, {30, 10}, {0, 30});
    ExpectStrip(bitmap, {0, 5, 10, 25}, 8, {30, 30}, {0, 5});
}

TEST(PicFrameTest, PiecesAreCopiedAndComeBackOpaqueFromTheFile)
{
    TTempDir dir;
    TPicFrameMaker maker;
    QImage corner = Piece(0, 16, 12);
    corner.setPixel(2, 2, qRgba(0, 0, 0, 0));
    maker.SetPiece(corner, 0);
    maker.SetPiece(Piece(7, 9, 11), 7);
    corner.fill(Qt::white);
    EXPECT_EQ(PixelAt(Render(maker, 40, 40), 5, 5), PieceTexel(0, 5, 5));

    const QString path = dir.file("pieces.okx");
    maker.SaveToFile(path);
    const QByteArray bytes = FileBytes(path);
    ASSERT_GT(bytes.size(), 62);
    EXPECT_EQ(bytes.left(14), QByteArray("OKX\0\0\x02\0\0\0\0\0\0\0\0", 14));
    const uint32_t first = CountAt(bytes, 14);
    const uint32_t second = CountAt(bytes, 14 + 4 * 7);
    for (int i = 1; i < 12; ++i) {
        if (i != 7) {
            EXPECT_EQ(CountAt(bytes, 14 + 4 * i), 0u) << i;
        }
    }
    EXPECT_EQ(62 + first + second, uint32_t(bytes.size()));
    EXPECT_EQ(bytes.mid(62, 2), QByteArray("\xFF\xD8"));
    EXPECT_EQ(bytes.mid(62 + first, 2), QByteArray("\xFF\xD8"));

    TPicFrameMaker loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.GetAddedHeight(), 11);
    const QImage bitmap = Render(loaded, 40, 40);
    EXPECT_EQ(AlphaAt(bitmap, 2, 2), 255);
    EXPECT_EQ(AlphaAt(bitmap, 15, 11), 255);
    EXPECT_EQ(AlphaAt(bitmap, 16, 12), 0);
}

TEST(PicFrameTest, EmptyFrameIsSixtyTwoBytesAndLoadsAsLoaded)
{
    TTempDir dir;
    TPicFrameMaker empty;
    const QString path = dir.file("empty.okx");
    empty.SaveToFile(path);
    QByteArray expected("OKX\0\0\x02", 6);
    expected.append(QByteArray(56, '\0'));
    EXPECT_EQ(FileBytes(path), expected);

    TPicFrameMaker loaded;
    loaded.LoadFromFile(path);
    const QImage bitmap = Render(loaded, 30, 20);
    ASSERT_EQ(bitmap.size(), QSize(30, 20));
    EXPECT_TRUE(SamePixels(bitmap, NewBitmap(30, 20)));

    // Loading keeps the pieces whose count is 0.
    TPicFrameMaker kept;
    kept.SetPiece(Piece(4, 6, 7), 4);
    kept.LoadFromFile(path);
    EXPECT_EQ(kept.GetAddedWidth(), 6);
}

TEST(PicFrameTest, PieceThatJpegCannotHoldIsRefusedAndTheOldFileKept)
{
    TTempDir dir;
    const QString path = dir.write("old.okx", "old");
    TPicFrameMaker maker;
    maker.SetPiece(Piece(1, 20, 30), 0);
    maker.SetPiece(NewBitmap(65501, 1), 1);
    EXPECT_THROW(maker.SaveToFile(path), EImagingError);
    EXPECT_EQ(FileBytes(path), QByteArray("old"));
}

TEST(PicFrameTest, DamagedFilesFailWithStreamErrors)
{
    TTempDir dir;
    TPicFrameMaker maker;
    EXPECT_THROW(maker.LoadFromFile(dir.file("missing.okx")), EFOpenError);
    EXPECT_THROW(maker.LoadFromFile(dir.write("short.okx", QByteArray(40, '\0'))), EReadError);
    QImage untouched;
    maker.Render(untouched);
    EXPECT_TRUE(untouched.isNull());

    // A count beyond the end of the file fails before anything is made.
    QByteArray huge("OKX\0\0\x02", 6);
    huge.append(QByteArray(56, '\0'));
    huge[14 + 4 * 3 + 3] = '\x7F';
    EXPECT_THROW(maker.LoadFromFile(dir.write("huge.okx", huge)), EReadError);

    // Undecodable bytes make an empty piece.
    QByteArray junk("OKX\0\0\x02", 6);
    junk.append(QByteArray(56, '\0'));
    junk[14 + 4 * 10] = 4;
    junk.append("junk");
    maker.SetPiece(Piece(10, 5, 5), 10);
    maker.LoadFromFile(dir.write("junk.okx", junk));
    EXPECT_EQ(maker.GetLeftBand(), 0);
}
