// Flips and quarter turns: which way each one turns or mirrors, the sizes
// they hand back, and exact undo/redo round trips.

#include "GeometricEffects.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(FlipTest, FlipXMirrorsLeftToRightOnly)
{
    const QImage before = MakeGradient(5, 3);
    QImage image = before;
    TFlipX flip;
    double w = 5, h = 3;
    flip.Execute(image, w, h);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.pixel(x, y), before.pixel(4 - x, y));
    flip.Undo(image);
    EXPECT_TRUE(SamePixels(image, before));
    flip.Redo(image);
    EXPECT_EQ(image.pixel(0, 0), before.pixel(4, 0));
}

TEST(FlipTest, FlipYMirrorsTopToBottomOnly)
{
    const QImage before = MakeGradient(4, 6);
    QImage image = before;
    TFlipY flip;
    double w = 4, h = 6;
    flip.Execute(image, w, h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.pixel(x, y), before.pixel(x, 5 - y));
    flip.Undo(image);
    EXPECT_TRUE(SamePixels(image, before));
}

TEST(QuarterTurnTest, Rotate90TurnsClockwiseAndSwapsTheSize)
{
    const QImage before = MakeGradient(400, 300);
    QImage image = before;
    TRotate90 turn;
    double w = 400, h = 300;
    turn.Execute(image, w, h);
    EXPECT_EQ(image.size(), QSize(300, 400));
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 400);
    EXPECT_EQ(turn.OldWidth, 400);
    EXPECT_EQ(turn.OldHeight, 300);
    // Clockwise: the old bottom-left corner comes to the top-left.
    EXPECT_EQ(image.pixel(0, 0), before.pixel(0, 299));
    EXPECT_EQ(image.pixel(299, 0), before.pixel(0, 0));
    EXPECT_EQ(image.pixel(299, 399), before.pixel(399, 0));

    turn.Undo(image);
    EXPECT_TRUE(SamePixels(image, before));
    turn.Redo(image);
    EXPECT_EQ(image.size(), QSize(300, 400));
    EXPECT_EQ(image.pixel(0, 0), before.pixel(0, 299));
}

TEST(QuarterTurnTest, RotateF90TurnsCounterClockwiseAndUndoesExactly)
{
    const QImage before = MakeGradient(7, 3);
    QImage image = before;
    TRotateF90 turn;
    double w = 70, h = 30;
    turn.Execute(image, w, h);
    EXPECT_EQ(image.size(), QSize(3, 7));
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 70);
    // Counter-clockwise: the old top-right corner comes to the top-left.
    EXPECT_EQ(image.pixel(0, 0), before.pixel(6, 0));
    EXPECT_EQ(image.pixel(0, 6), before.pixel(0, 0));
    turn.Undo(image);
    EXPECT_TRUE(SamePixels(image, before));
    turn.Redo(image);
    EXPECT_EQ(image.pixel(0, 0), before.pixel(6, 0));
}

TEST(QuarterTurnTest, TurnsKeepAlphaAndFormat)
{
    QImage image = MakeSolid(3, 2, QColor(10, 20, 30, 77));
    TRotate90 turn;
    double w = 3, h = 2;
    turn.Execute(image, w, h);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(PixelAt(image, 1, 2), qRgba(10, 20, 30, 77));
}
