// The frame split control: the grid's default cuts and pieces, dragging cuts
// (clamped against their neighbours and the outline), moving and resizing
// the outline band by band, fitting a picture, cutting the pieces at full
// resolution and painting the picture under the cut lines.

#include "FrameSplit.h"
#include "PicFrameMaker.h"

#include "TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class FrameSplitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetAppCursor(Qt::ArrowCursor);
        Split = std::make_unique<TFrameSplit>();
        Split->resize(405, 280);
        Split->InitSplit();
        Grid = Split->Grid();
    }
    void TearDown() override
    {
        Split.reset();
        SetAppCursor(Qt::ArrowCursor);
    }

    void Press(int x, int y)
    {
        QTest::mousePress(Split.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    }
    void Release(int x, int y)
    {
        QTest::mouseRelease(Split.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    }
    void Move(int x, int y)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), Split->mapToGlobal(QPointF(x, y)),
                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Split.get(), &event);
    }
    // Press at From, move to To, release there.
    void Drag(QPoint from, QPoint to)
    {
        Press(from.x(), from.y());
        Move(to.x(), to.y());
        Release(to.x(), to.y());
    }

    QString WritePicture(const QImage& image, const QString& name = QStringLiteral("pic.png"))
    {
        const QString path = Dir.file(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    struct TPiece
    {
        QImage Bitmap;
        int Index;
    };
    std::vector<TPiece> Pieces()
    {
        std::vector<TPiece> pieces;
        Split->ExtractPieces([&pieces](const QImage& bitmap, int index) {
            pieces.push_back({bitmap, index});
        });
        return pieces;
    }

    TTempDir Dir;
    std::unique_ptr<TFrameSplit> Split;
    TDSplit* Grid = nullptr;
};

TEST_F(FrameSplitTest, InitSplitPlacesTheDefaultCutsAndPieces)
{
    ASSERT_NE(Grid, nullptr);
    EXPECT_TRUE(Grid->Selected);
    EXPECT_EQ(Grid->GetRect(), (TGPRect{10, 10, 385, 260}));
    const std::array<TGPPoint, 12> splits{{{30, 20},
                                           {375, 20},
                                           {202, 30},
                                           {385, 50},
                                           {385, 230},
                                           {375, 140},
                                           {30, 260},
                                           {375, 260},
                                           {202, 250},
                                           {20, 50},
                                           {20, 230},
                                           {30, 140}}};
    EXPECT_EQ(Grid->Splits, splits);
    const std::array<TGPRect, 12> pieces{{{10, 10, 20, 20},
                                          {30, 10, 345, 20},
                                          {375, 10, 20, 20},
                                          {375, 30, 20, 20},
                                          {375, 50, 20, 180},
                                          {375, 230, 20, 20},
                                          {375, 250, 20, 20},
                                          {30, 250, 345, 20},
                                          {10, 250, 20, 20},
                                          {10, 230, 20, 20},
                                          {10, 50, 20, 180},
                                          {10, 30, 20, 20}}};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Grid->PieceRect(i), pieces[i]) << "piece " << i;
}

TEST_F(FrameSplitTest, SplitDragsAreClampedAgainstNeighboursAndTheOutline)
{
    // A press on a split square is not taken: the grid stays selected and
    // only the cut moves.
    Press(30, 20);
    EXPECT_EQ(Grid->DragSplit, 0);
    EXPECT_EQ(Grid->DragMode, TMoveObject::DragResizing);
    EXPECT_TRUE(Grid->Selected);
    Move(1000, 20);
    EXPECT_EQ(Grid->Splits[0].X, 374); // one left of P1
    Move(-100, 20);
    EXPECT_EQ(Grid->Splits[0].X, 11); // one inside the outline
    Release(-100, 20);
    EXPECT_EQ(Grid->DragMode, TMoveObject::DragIdle);
    EXPECT_EQ(Grid->GetRect(), (TGPRect{10, 10, 385, 260}));

    Drag({375, 20}, {0, 20});
    EXPECT_EQ(Grid->Splits[1].X, 12);
    Drag({385, 50}, {385, -50});
    EXPECT_EQ(Grid->Splits[3].Y, 31);
    Drag({385, 230}, {385, 900});
    EXPECT_EQ(Grid->Splits[4].Y, 249);
    Drag({375, 260}, {900, 260});
    EXPECT_EQ(Grid->Splits[7].X, 394);
    Drag({30, 260}, {900, 260});
    EXPECT_EQ(Grid->Splits[6].X, 393);
    Drag({20, 50}, {20, 900});
    EXPECT_EQ(Grid->Splits[9].Y, 229);
    Drag({20, 230}, {20, 0});
    EXPECT_EQ(Grid->Splits[10].Y, 230); // one below P9 at 229
    // Every piece keeps at least one pixel.
    for (int i = 0; i < 12; ++i) {
        EXPECT_GE(Grid->PieceRect(i).Width, 1) << i;
        EXPECT_GE(Grid->PieceRect(i).Height, 1) << i;
    }
}

TEST_F(FrameSplitTest, BandSideDragsRecentreTheirSquares)
{
    Drag({202, 30}, {500, -100});
    EXPECT_EQ(Grid->Splits[2], (TGPPoint{202, 11})); // X stays
    EXPECT_EQ(Grid->Splits[0].Y, 10);
    EXPECT_EQ(Grid->Splits[1].Y, 10);
    EXPECT_EQ(Grid->Splits[11].Y, 130);
    EXPECT_EQ(Grid->Splits[5].Y, 130);

    Drag({202, 11}, {202, 1000});
    EXPECT_EQ(Grid->Splits[2].Y, 49); // one above P9 and P3
    EXPECT_EQ(Grid->Splits[0].Y, 29);
    EXPECT_EQ(Grid->Splits[11].Y, 149);

    Drag({202, 250}, {202, 1000});
    EXPECT_EQ(Grid->Splits[8].Y, 269);
    EXPECT_EQ(Grid->Splits[6].Y, 270);
    EXPECT_EQ(Grid->Splits[7].Y, 270);
    EXPECT_EQ(Grid->Splits[11].Y, 159);

    Drag({375, 159}, {-1000, 159});
    EXPECT_EQ(Grid->Splits[5].X, 31);
    EXPECT_EQ(Grid->Splits[3].X, 213);
    EXPECT_EQ(Grid->Splits[4].X, 213);

    Drag({30, 159}, {1000, 159});
    EXPECT_EQ(Grid->Splits[11].X, 30); // P5 at 31 leaves no room
    EXPECT_EQ(Grid->Splits[9].X, 20);
}

TEST_F(FrameSplitTest, EmptyRangeLetsTheLastBoundWin)
{
    Grid->Splits[1].X = 11; // P0 has no room left of P1
    Grid->StartSplits = Grid->Splits;
    Grid->DragSplit = 0;
    Grid->DragMode = TMoveObject::DragResizing;
    Grid->DownX = 30;
    Grid->DownY = 20;
    Grid->DragResize(25, 20);
    EXPECT_EQ(Grid->Splits[0].X, 11); // at least X + 1 wins over at most 10
}

TEST_F(FrameSplitTest, SplitSquareWinsOverAnOutlineHandle)
{
    Drag({202, 30}, {202, 0}); // P2 to Y + 1: its square covers handle 1's centre
    Press(202, 10);
    EXPECT_EQ(Grid->DragSplit, 2);
    Release(202, 10);
}

TEST_F(FrameSplitTest, CursorsOverSplitSquares)
{
    QMouseEvent hover(QEvent::MouseMove, QPointF(30, 20), Split->mapToGlobal(QPointF(30, 20)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Split.get(), &hover);
    EXPECT_EQ(AppCursorShape(), Qt::SizeHorCursor);
    QMouseEvent hover2(QEvent::MouseMove, QPointF(202, 250), Split->mapToGlobal(QPointF(202, 250)),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Split.get(), &hover2);
    EXPECT_EQ(AppCursorShape(), Qt::SizeVerCursor);
    QMouseEvent hover3(QEvent::MouseMove, QPointF(10, 140), Split->mapToGlobal(QPointF(10, 140)),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Split.get(), &hover3);
    EXPECT_EQ(AppCursorShape(), Qt::SizeHorCursor); // outline handle 3
}

TEST_F(FrameSplitTest, SizingCursorGoesWhenTheControlHidesOrIsDestroyed)
{
    Split->show();
    QMouseEvent hover(QEvent::MouseMove, QPointF(30, 20), Split->mapToGlobal(QPointF(30, 20)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Split.get(), &hover);
    ASSERT_EQ(AppCursorShape(), Qt::SizeHorCursor);
    Split->hide();
    EXPECT_TRUE(AppCursorIsDefault());

    Split->show();
    QApplication::sendEvent(Split.get(), &hover);
    ASSERT_EQ(AppCursorShape(), Qt::SizeHorCursor);
    Split.reset();
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(FrameSplitTest, OutlineResizeMovesWholeBandsAndAcceptsZeroEdges)
{
    Press(10, 140); // handle 3, left middle
    EXPECT_EQ(Grid->DragSplit, -1);
    EXPECT_EQ(Grid->DragHandle, 3);
    Move(15, 140);
    EXPECT_EQ(Grid->GetRect(), (TGPRect{15, 10, 380, 260}));
    EXPECT_EQ(Grid->PieceRect(0), (TGPRect{15, 10, 20, 20}));
    EXPECT_EQ(Grid->PieceRect(10), (TGPRect{15, 50, 20, 180}));
    EXPECT_EQ(Grid->Splits[2].X, 205);
    EXPECT_EQ(Grid->Splits[8].X, 205);
    // The top edge piece shrinks to nothing, never below.
    Move(355, 140);
    EXPECT_EQ(Grid->GetRect(), (TGPRect{355, 10, 40, 260}));
    EXPECT_EQ(Grid->PieceRect(1).Width, 0);
    Move(356, 140);
    EXPECT_EQ(Grid->GetRect(), (TGPRect{355, 10, 40, 260}));
    Release(356, 140);
}

TEST_F(FrameSplitTest, CornerWithARefusedSecondEdgeMovesNeitherEdge)
{
    Press(10, 10); // handle 0
    Move(12, 15);  // both accepted
    EXPECT_EQ(Grid->GetRect(), (TGPRect{12, 15, 383, 255}));
    EXPECT_EQ(Grid->PieceRect(0), (TGPRect{12, 15, 20, 20}));
    EXPECT_EQ(Grid->PieceRect(6), (TGPRect{375, 250, 20, 20}));
    const auto placed = Grid->Splits;
    Move(410, 20); // the top edge could move, the left edge cannot
    EXPECT_EQ(Grid->GetRect(), (TGPRect{12, 15, 383, 255}));
    EXPECT_EQ(Grid->Splits, placed);
    for (int i = 0; i < 12; ++i) {
        EXPECT_GE(Grid->PieceRect(i).Width, 0) << i;
        EXPECT_GE(Grid->PieceRect(i).Height, 0) << i;
    }
    Release(410, 20);
}

TEST_F(FrameSplitTest, MovingTheGridMovesEveryCutAndIsNotConfined)
{
    const auto before = Grid->Splits;
    Drag({100, 100}, {-350, 80});
    EXPECT_EQ(Grid->GetRect(), (TGPRect{-440, -10, 385, 260}));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Grid->Splits[i], (TGPPoint{before[i].X - 450, before[i].Y - 20})) << i;
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(FrameSplitTest, LoadPictureFitsByTheRelativelyLargerSideAndResetsTheGrid)
{
    Drag({30, 20}, {60, 20}); // placed cuts are lost by a load
    Split->LoadPicture(WritePicture(MakeSolid(800, 200, Qt::blue)));
    // 405 / 800 is held as a double just below it: 800 times it truncates
    // to 404.
    EXPECT_EQ(Split->GetScale(), 405.0 / 800.0);
    EXPECT_EQ(Split->GetDisplayRect(), (TGPRect{0, 89, 404, 101}));
    EXPECT_EQ(Split->GetDisplayImage().size(), QSize(404, 101));
    EXPECT_EQ(Grid->GetRect(), Split->GetDisplayRect());
    EXPECT_EQ(Grid->Splits[0], (TGPPoint{20, 99}));

    // Equal ratios fit the height.
    Split->LoadPicture(WritePicture(MakeSolid(810, 560, Qt::blue)));
    EXPECT_EQ(Split->GetScale(), 0.5);
    EXPECT_EQ(Split->GetDisplayRect(), (TGPRect{0, 0, 405, 280}));

    // 100 x 0.7 in extended precision lies just below 70.
    Split->LoadPicture(WritePicture(MakeSolid(100, 400, Qt::blue)));
    EXPECT_EQ(Split->GetDisplayRect(), (TGPRect{168, 0, 69, 279}));

    // 405 / 10307 rounded to extended precision and then to a double lies
    // below the double quotient: 10307 times it truncates to 404.
    Split->LoadPicture(WritePicture(MakeSolid(10307, 100, Qt::blue)));
    EXPECT_EQ(Split->GetDisplayRect(), (TGPRect{0, 138, 404, 3}));
}

TEST_F(FrameSplitTest, UndecodableFileKeepsTheEarlierPicture)
{
    Split->LoadPicture(WritePicture(MakeSolid(800, 200, Qt::blue)));
    const QString bad = Dir.write(QStringLiteral("bad.jpg"), QByteArray("not a picture"));
    EXPECT_THROW(Split->LoadPicture(bad), EImagingError);
    EXPECT_EQ(Split->GetDisplayRect(), (TGPRect{0, 89, 404, 101}));
    EXPECT_EQ(Split->GetLoadedPicture().size(), QSize(800, 200));
    EXPECT_EQ(Grid->GetRect(), (TGPRect{0, 89, 404, 101}));
}

TEST_F(FrameSplitTest, PiecesAreCutFromTheFullResolutionPicture)
{
    EXPECT_TRUE(Pieces().empty()); // nothing without a picture

    const QImage picture = MakeGradient(810, 560);
    Split->LoadPicture(WritePicture(picture));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        const TGPRect r = Grid->PieceRect(i);
        const QRect source(2 * r.X, 2 * r.Y, 2 * r.Width, 2 * r.Height);
        EXPECT_EQ(pieces[i].Index, i);
        EXPECT_EQ(pieces[i].Bitmap.format(), QImage::Format_ARGB32);
        EXPECT_TRUE(SamePixels(pieces[i].Bitmap,
                               picture.copy(source).convertToFormat(QImage::Format_ARGB32)))
            << "piece " << i;
    }

    TPicFrameMaker maker;
    Split->ExtractPieces(maker);
    EXPECT_EQ(maker.GetTopBand(), 40);
    EXPECT_EQ(maker.GetLeftBand(), 40);
}

TEST_F(FrameSplitTest, PieceSizesRoundHalvesToEven)
{
    // 202 x 140 is enlarged twice: (0, 0, 404, 280) on screen.
    Split->LoadPicture(WritePicture(MakeGradient(202, 140)));
    EXPECT_EQ(Split->GetScale(), 2.0);
    Drag({20, 10}, {21, 10});
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 12u);
    EXPECT_EQ(pieces[0].Bitmap.size(), QSize(10, 10));  // 10.5 -> 10
    EXPECT_EQ(pieces[1].Bitmap.size(), QSize(182, 10)); // 181.5 -> 182
}

TEST_F(FrameSplitTest, OnePixelPieceOfAnEnlargedPictureIsEmpty)
{
    // 101 x 70 is enlarged four times.
    Split->LoadPicture(WritePicture(MakeGradient(101, 70)));
    EXPECT_EQ(Split->GetScale(), 4.0);
    Drag({384, 10}, {0, 10}); // P1 one right of P0
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 12u);
    EXPECT_TRUE(pieces[1].Bitmap.isNull());
    EXPECT_EQ(pieces[0].Bitmap.size(), QSize(5, 5));
}

TEST_F(FrameSplitTest, PieceOutsideThePictureStaysTransparent)
{
    Split->LoadPicture(WritePicture(MakeSolid(810, 560, Qt::blue)));
    Drag({100, 100}, {90, 100}); // the grid 10 screen pixels left of the picture
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 12u);
    const QImage& corner = pieces[0].Bitmap;
    ASSERT_EQ(corner.size(), QSize(40, 40));
    EXPECT_EQ(AlphaAt(corner, 5, 5), 0);
    EXPECT_EQ(PixelAt(corner, 25, 5), qRgb(0, 0, 255));
}

TEST_F(FrameSplitTest, PictureLiesUnderTheCutLinesInsideTheBackground)
{
    Split->LoadPicture(WritePicture(MakeSolid(800, 200, Qt::blue)));
    Split->SetBKColor(MakeColorRef(0, 255, 0));
    const QImage image = Split->grab().toImage();
    EXPECT_EQ(PixelAt(image, 200, 20), qRgb(0, 255, 0));  // background above
    EXPECT_EQ(PixelAt(image, 200, 150), qRgb(0, 0, 255)); // picture
    EXPECT_EQ(PixelAt(image, 20, 92), qRgb(255, 0, 0));   // cut at P0.X
    EXPECT_EQ(PixelAt(image, 150, 109), qRgb(255, 0, 0)); // cut at P2.Y
    EXPECT_EQ(PixelAt(image, 404, 120), qRgb(0, 255, 0)); // right of the picture
    EXPECT_EQ(PixelAt(image, 0, 89), qRgb(0, 0, 0));      // outline handle 0
    EXPECT_EQ(PixelAt(image, 20, 99), qRgb(0, 0, 0));     // split square P0
}

} // namespace
