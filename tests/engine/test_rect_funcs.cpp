// The two rectangle functions: hit tests with the right and bottom edges
// outside, and edge rectangles turned into X, Y, Width, Height.

#include "MyGdiPlus.h"

#include <climits>

#include <gtest/gtest.h>

TEST(RectFuncsTest, ContainsTakesLeftAndTopEdgesButNotRightAndBottom)
{
    const TGPRect r{10, 10, 20, 20};
    EXPECT_TRUE(GPRectContains(r, {10, 10}));
    EXPECT_TRUE(GPRectContains(r, {29, 29}));
    EXPECT_FALSE(GPRectContains(r, {30, 10}));
    EXPECT_FALSE(GPRectContains(r, {10, 30}));
    EXPECT_FALSE(GPRectContains(r, {9, 10}));
    EXPECT_FALSE(GPRectContains(r, {10, 9}));
}

TEST(RectFuncsTest, EmptyAndNegativeRectanglesContainNothing)
{
    EXPECT_FALSE(GPRectContains({10, 10, 0, 20}, {10, 10}));
    EXPECT_FALSE(GPRectContains({10, 10, 20, 0}, {10, 10}));
    EXPECT_FALSE(GPRectContains({10, 10, -5, 20}, {8, 12}));
}

TEST(RectFuncsTest, ContainsDoesNotOverflowAtTheEdgesOfTheRange)
{
    // X + Width beyond 32 bits must not wrap round to a small number.
    const TGPRect far{INT_MAX - 5, INT_MAX - 5, 100, 100};
    EXPECT_TRUE(GPRectContains(far, {INT_MAX, INT_MAX}));
    EXPECT_FALSE(GPRectContains(far, {0, 0}));
    const TGPRect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_TRUE(GPRectContains(huge, {-2, -2}));
    EXPECT_FALSE(GPRectContains(huge, {-1, -1}));
}

TEST(RectFuncsTest, EdgeRectangleBecomesPositionAndSize)
{
    TGPRect g{1, 2, 3, 4};
    RectToGPRect(TRect{5, 6, 15, 26}, g);
    EXPECT_EQ(g, (TGPRect{5, 6, 10, 20}));
    RectToGPRect(TRect{10, 10, 4, 7}, g);
    EXPECT_EQ(g, (TGPRect{10, 10, -6, -3}));
    RectToGPRect(TRect{-100, 0, 100, 0}, g);
    EXPECT_EQ(g, (TGPRect{-100, 0, 200, 0}));
}
