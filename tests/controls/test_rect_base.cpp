// The selectable rectangle and its shared tools: handle squares, the resize
// rules, cursors over handles, selection, moving and resizing with the mouse.

#include "RectBase.h"
#include "RectTools.h"

#include "TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {


// A rectangle that counts its ApplySize calls.
class TCountingRect : public TRectBase
{
public:
    using TRectBase::TRectBase;
    void ApplySize() override { ++ApplySizeCalls; }
    int ApplySizeCalls = 0;
};

// A small control holding objects the way the canvas does: mouse events go
// to the objects from the top (last) down until one takes them.
class TTestOwner : public QWidget, public TRectOwner
{
public:
    TTestOwner()
    {
        setMouseTracking(true);
        resize(800, 600);
    }

    TCountingRect* Add(const TGPRect& r, bool keepAspect = true)
    {
        auto object = std::make_unique<TCountingRect>(this);
        object->X = r.X;
        object->Y = r.Y;
        object->Width = r.Width;
        object->Height = r.Height;
        object->KeepAspect = keepAspect;
        object->UpdateRegion();
        Objects.push_back(std::move(object));
        return Objects.back().get();
    }

    void DeselectAll() override
    {
        ++DeselectCalls;
        for (auto& object : Objects)
            object->SetSelected(false);
    }

    int SelectedCount() const
    {
        int n = 0;
        for (const auto& object : Objects)
            n += object->Selected ? 1 : 0;
        return n;
    }

    std::vector<std::unique_ptr<TCountingRect>> Objects;
    int DeselectCalls = 0;

protected:
    template <class F> void Route(QMouseEvent* event, F f)
    {
        const QPoint p = event->position().toPoint();
        for (auto it = Objects.rbegin(); it != Objects.rend(); ++it) {
            if (f(**it, p.x(), p.y()))
                return;
        }
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            Route(event, [](TRectBase& o, int x, int y) { return o.MouseDown(x, y); });
        else if (event->button() == Qt::RightButton)
            Route(event, [](TRectBase& o, int x, int y) { return o.RButtonDown(x, y); });
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            Route(event, [](TRectBase& o, int x, int y) { return o.MouseUp(x, y); });
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        Route(event, [](TRectBase& o, int x, int y) { return o.MouseMove(x, y); });
    }
};

class RectBaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetAppCursor(Qt::ArrowCursor);
        Owner = std::make_unique<TTestOwner>();
        Owner->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Owner.get()));
    }
    void TearDown() override
    {
        Owner.reset();
        SetAppCursor(Qt::ArrowCursor);
    }

    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(Owner.get(), b, Qt::NoModifier, p);
    }
    void Release(QPoint p) { QTest::mouseRelease(Owner.get(), Qt::LeftButton, Qt::NoModifier, p); }
    void Move(QPoint p) { QTest::mouseMove(Owner.get(), p); }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        Move(to);
        Release(to);
    }

    std::unique_ptr<TTestOwner> Owner;
};

TGPRect RectOf(const TRectBase& o)
{
    return o.GetRect();
}

} // namespace

// ---------------------------------------------------------------------------
// Handle squares and cursors

TEST(RectToolsTest, HandleSquaresAreCentredOnCornersAndTruncatedMiddles)
{
    const THandleSquares s = CalcHandleSquares(TGPRect{10, 20, 101, 51});
    // hx = 50, hy = 25; corners on the last inside pixels (110, 70).
    const THandleSquares expected{
        TGPRect{8, 18, 5, 5},  TGPRect{58, 18, 5, 5},  TGPRect{108, 18, 5, 5},
        TGPRect{8, 43, 5, 5},  TGPRect{108, 43, 5, 5}, TGPRect{8, 68, 5, 5},
        TGPRect{58, 68, 5, 5}, TGPRect{108, 68, 5, 5},
    };
    EXPECT_EQ(s, expected);
    EXPECT_EQ(HandleSquare(0, 0), (TGPRect{-2, -2, 5, 5}));
}

TEST(RectToolsTest, OverlappingSquaresGiveTheLowestHandle)
{
    // Nine pixels wide: the squares of handles 0 (-2..2) and 1 (2..6) share x = 2.
    const THandleSquares s = CalcHandleSquares(TGPRect{0, 0, 9, 9});
    EXPECT_EQ(HandleAt(s, 2, 0), 0);
    EXPECT_EQ(HandleAt(s, 3, 0), 1);
    // On a 1 x 1 rectangle every square is the same: handle 0 wins.
    EXPECT_EQ(HandleAt(CalcHandleSquares(TGPRect{5, 5, 1, 1}), 5, 5), 0);
    // Right and bottom edges of a square are outside it.
    EXPECT_EQ(HandleAt(s, 3, 3), -1);
    EXPECT_EQ(HandleAt(s, -3, 0), -1);
}

TEST(RectToolsTest, CursorOfEachHandle)
{
    const Qt::CursorShape expected[8] = {
        Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor, Qt::SizeHorCursor,
        Qt::SizeHorCursor,   Qt::SizeBDiagCursor, Qt::SizeVerCursor,   Qt::SizeFDiagCursor};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(HandleCursor(i), expected[i]) << "handle " << i;
}

// ---------------------------------------------------------------------------
// Resize rules

struct TResizeCase
{
    int Handle;
    int Dx;
    int Dy;
    bool KeepAspect;
    TGPRect Expected;
};

TEST(RectToolsTest, ResizeRulesOfAllHandles)
{
    const TGPRect start{100, 100, 400, 300};
    // With KeepAspect and dx = 12: rx = 0.03 and k = 300 x 0.03 truncates to
    // 8 in extended precision (plain doubles make it 9). With dy = 10:
    // k = 400 x (10 / 300) = 13.3 -> 13, k / 2 = 6.
    const TResizeCase cases[] = {
        {0, 12, 10, false, {112, 110, 388, 290}},
        {1, 12, 10, false, {100, 110, 400, 290}},
        {2, 12, 10, false, {100, 110, 412, 290}},
        {3, 12, 10, false, {112, 100, 388, 300}},
        {4, 12, 10, false, {100, 100, 412, 300}},
        {5, 12, 10, false, {112, 100, 388, 310}},
        {6, 12, 10, false, {100, 100, 400, 310}},
        {7, 12, 10, false, {100, 100, 412, 310}},
        {0, 12, 10, true, {112, 108, 388, 292}},
        {1, 12, 10, true, {106, 110, 387, 290}},
        {2, 12, 10, true, {100, 92, 412, 308}},
        {3, 12, 10, true, {112, 104, 388, 292}},
        {4, 12, 10, true, {100, 96, 412, 308}},
        {5, 12, 10, true, {112, 100, 388, 292}},
        {6, 12, 10, true, {94, 100, 413, 310}},
        {7, 12, 10, true, {100, 100, 412, 308}},
        // dx = -15: k = 300 x -0.0375 = -11.25 -> -11 (not -12), k / 2 -> -5 (not -6).
        {4, -15, 0, true, {100, 105, 385, 289}},
        {3, -15, 0, true, {85, 95, 415, 311}},
        // dy = -10: k = 400 x (-1 / 30) = -13.3 -> -13, k / 2 -> -6.
        {6, 0, -10, true, {106, 100, 387, 290}},
    };
    for (const TResizeCase& c : cases) {
        EXPECT_EQ(ResizeRect(start, c.Handle, c.Dx, c.Dy, c.KeepAspect), c.Expected)
            << "handle " << c.Handle << " dx " << c.Dx << " dy " << c.Dy << " keep "
            << c.KeepAspect;
    }
}

TEST(RectToolsTest, ResizeExamplesOfAPhoto)
{
    const TGPRect photo{0, 0, 400, 300};
    EXPECT_EQ(ResizeRect(photo, 7, 40, 0, true), (TGPRect{0, 0, 440, 330}));
    EXPECT_EQ(ResizeRect(photo, 4, 40, 0, true), (TGPRect{0, -15, 440, 330}));
    EXPECT_EQ(ResizeRect(photo, 7, 12, 0, true), (TGPRect{0, 0, 412, 308}));
    // The vertical movement does not matter to a corner with KeepAspect.
    EXPECT_EQ(ResizeRect(photo, 7, 12, 77, true), (TGPRect{0, 0, 412, 308}));
}

TEST(RectToolsTest, SizeNeverFallsBelowOnePixelAndNeverFlips)
{
    const TGPRect start{10, 10, 20, 20};
    // The left side dragged 50 pixels right, past the right side: X follows.
    EXPECT_EQ(ResizeRect(start, 0, 50, 0, false), (TGPRect{60, 10, 1, 20}));
    EXPECT_EQ(ResizeRect(start, 7, -100, -100, false), (TGPRect{10, 10, 1, 1}));
    EXPECT_EQ(ResizeRect(start, 1, 0, 40, false), (TGPRect{10, 50, 20, 1}));
    EXPECT_EQ(ResizeRect(start, 7, -100, 0, true), (TGPRect{10, 10, 1, 1}));
    // A start size of 0 (set from outside) does not divide by zero.
    EXPECT_EQ(ResizeRect(TGPRect{0, 0, 0, 10}, 7, 5, 0, true), (TGPRect{0, 0, 5, 10}));
}

// ---------------------------------------------------------------------------
// The application-wide cursor

TEST(AppCursorTest, ShapesReplaceAndTheDefaultRemovesEveryOverride)
{
    SetAppCursor(Qt::ArrowCursor);
    EXPECT_TRUE(AppCursorIsDefault());
    for (int i = 0; i < 5; ++i)
        SetAppCursor(Qt::SizeVerCursor);
    SetAppCursor(Qt::SizeHorCursor);
    EXPECT_EQ(AppCursorShape(), Qt::SizeHorCursor);
    // One entry only: a single restore empties the stack.
    QGuiApplication::restoreOverrideCursor();
    EXPECT_TRUE(AppCursorIsDefault());

    // Overrides pushed by anyone else go too.
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    SetAppCursor(Qt::ArrowCursor);
    EXPECT_TRUE(AppCursorIsDefault());
    EXPECT_EQ(AppCursorShape(), Qt::ArrowCursor);
}

// ---------------------------------------------------------------------------
// Regions and selection marks

TEST(RectBaseObjectTest, RegionIsTheRectanglePlusHandlesWhileSelected)
{
    TRectBase object(nullptr);
    EXPECT_EQ(RectOf(object), (TGPRect{0, 0, 1, 1}));
    EXPECT_EQ(object.DragMode, TRectBase::DragIdle);
    EXPECT_TRUE(object.KeepAspect);
    EXPECT_TRUE(object.Region.IsInfinite());
    EXPECT_TRUE(object.Region.IsVisible(5000, -5000));

    object.X = 10;
    object.Y = 10;
    object.Width = 20;
    object.Height = 10;
    object.UpdateRegion();
    EXPECT_FALSE(object.Region.IsInfinite());
    EXPECT_TRUE(object.Region.IsVisible(10, 10));
    EXPECT_TRUE(object.Region.IsVisible(29, 19));
    EXPECT_FALSE(object.Region.IsVisible(30, 19));
    EXPECT_FALSE(object.Region.IsVisible(8, 8));

    object.SetSelected(true);
    EXPECT_TRUE(object.Region.IsVisible(8, 8));   // handle 0
    EXPECT_TRUE(object.Region.IsVisible(31, 21)); // handle 7
    EXPECT_FALSE(object.Region.IsVisible(8, 22));
    EXPECT_EQ(object.Handles[7], (TGPRect{27, 17, 5, 5}));

    object.SetSelected(false);
    EXPECT_FALSE(object.Region.IsVisible(8, 8));
}

TEST(RectBaseObjectTest, HitTestTakesHandlesOnlyWhileSelected)
{
    TRectBase object(nullptr);
    object.X = 10;
    object.Y = 10;
    object.Width = 20;
    object.Height = 10;
    EXPECT_TRUE(object.HitTest(10, 10));
    EXPECT_FALSE(object.HitTest(30, 10));
    EXPECT_FALSE(object.HitTest(8, 8));
    object.SetSelected(true);
    EXPECT_TRUE(object.HitTest(8, 8));
    EXPECT_TRUE(object.HitTest(31, 21));
    EXPECT_FALSE(object.HitTest(32, 21));
}

TEST(RectBaseObjectTest, SelectionMarksAreADashedOutlineAndBlackSquares)
{
    QImage image = MakeSolid(60, 40, Qt::white);
    TRectBase object(nullptr);
    object.X = 10;
    object.Y = 10;
    object.Width = 30;
    object.Height = 20;
    {
        QPainter g(&image);
        object.DrawSelection(g); // not selected: nothing
    }
    EXPECT_TRUE(SamePixels(image, MakeSolid(60, 40, Qt::white)));

    object.SetSelected(true);
    {
        QPainter g(&image);
        object.DrawSelection(g);
    }
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    // Handle 0 covers 8..12; the top edge then runs in dashes of 3 on, 1 off
    // counted from x = 10: 13 off, 14..16 on, 17 off, 18..20 on, 21 off.
    EXPECT_EQ(PixelAt(image, 8, 8), black);
    EXPECT_EQ(PixelAt(image, 12, 12), black);
    EXPECT_EQ(PixelAt(image, 13, 10), white);
    EXPECT_EQ(PixelAt(image, 14, 10), black);
    EXPECT_EQ(PixelAt(image, 16, 10), black);
    EXPECT_EQ(PixelAt(image, 17, 10), white);
    EXPECT_EQ(PixelAt(image, 18, 10), black);
    EXPECT_EQ(PixelAt(image, 21, 10), white);
    // The outline runs along the last inside column and row, not outside.
    EXPECT_EQ(PixelAt(image, 14, 11), white);
    EXPECT_EQ(PixelAt(image, 14, 9), white);
    // The dashes go on round the corner: on the right edge (x = 39) rows 10
    // and 11 end the top edge's last dash, 12 is off, 13..15 on, 16 off.
    EXPECT_EQ(PixelAt(image, 39, 14), black);
    EXPECT_EQ(PixelAt(image, 39, 16), white);
    EXPECT_EQ(PixelAt(image, 40, 14), white);
    // Handle 4 on the right: centre (39, 20).
    EXPECT_EQ(PixelAt(image, 41, 22), black);
    EXPECT_EQ(PixelAt(image, 42, 22), white);
}

// ---------------------------------------------------------------------------
// Mouse: selection, moving, resizing, cursors

TEST_F(RectBaseTest, PressSelectsTheTopObjectAndDeselectsTheOthers)
{
    TCountingRect* below = Owner->Add({100, 100, 200, 100});
    TCountingRect* above = Owner->Add({150, 150, 200, 100});

    Press({120, 120});
    Release({120, 120});
    EXPECT_TRUE(below->Selected);
    EXPECT_FALSE(above->Selected);
    EXPECT_EQ(Owner->DeselectCalls, 1);

    Press({200, 170}); // where both lie: the top one takes it
    Release({200, 170});
    EXPECT_TRUE(above->Selected);
    EXPECT_FALSE(below->Selected);
    EXPECT_EQ(Owner->SelectedCount(), 1);

    // A press outside every object changes no selection.
    Press({600, 500});
    Release({600, 500});
    EXPECT_TRUE(above->Selected);
    EXPECT_EQ(Owner->DeselectCalls, 2);
}

TEST_F(RectBaseTest, DragMovesTheObjectWithTheHandCursor)
{
    TCountingRect* object = Owner->Add({100, 100, 200, 100});
    Press({150, 150});
    EXPECT_EQ(object->DragMode, TRectBase::DragMoving);
    EXPECT_EQ(AppCursorShape(), Qt::PointingHandCursor);
    Move({170, 140});
    EXPECT_EQ(RectOf(*object), (TGPRect{120, 90, 200, 100}));
    // Nothing limits the position.
    Move({-300, -200});
    EXPECT_EQ(RectOf(*object), (TGPRect{-350, -250, 200, 100}));
    Release({-300, -200});
    EXPECT_EQ(object->DragMode, TRectBase::DragIdle);
    EXPECT_TRUE(AppCursorIsDefault());
    EXPECT_EQ(object->ApplySizeCalls, 0);
}

TEST_F(RectBaseTest, ClickWithoutMovementChangesNothing)
{
    TCountingRect* object = Owner->Add({100, 100, 200, 100});
    Press({150, 150});
    Release({150, 150});
    EXPECT_TRUE(object->Selected);
    EXPECT_EQ(RectOf(*object), (TGPRect{100, 100, 200, 100}));
    EXPECT_EQ(object->ApplySizeCalls, 0);
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(RectBaseTest, ResizeByHandleSevenKeepsTheAspectAndEndsWithApplySize)
{
    TCountingRect* photo = Owner->Add({10, 10, 400, 300});
    Press({100, 100});
    Release({100, 100});
    ASSERT_TRUE(photo->Selected);

    const QPoint handle7(409, 309);
    Move(handle7);
    EXPECT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    Press(handle7);
    EXPECT_EQ(photo->DragMode, TRectBase::DragResizing);
    EXPECT_EQ(photo->DragHandle, 7);
    Move(handle7 + QPoint(12, 3));
    EXPECT_EQ(RectOf(*photo), (TGPRect{10, 10, 412, 308}));
    EXPECT_EQ(photo->ApplySizeCalls, 0);
    // The release over empty space still ends the drag.
    Release({790, 590});
    EXPECT_EQ(photo->ApplySizeCalls, 1);
    EXPECT_EQ(photo->DragMode, TRectBase::DragIdle);
    EXPECT_EQ(RectOf(*photo), (TGPRect{10, 10, 412, 308}));
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(RectBaseTest, TopLeftHandleDraggedPastTheRightEdgeLeavesOnePixel)
{
    TCountingRect* object = Owner->Add({100, 100, 50, 40}, false);
    Press({120, 120});
    Release({120, 120});
    Press({100, 100});
    Move({200, 100});
    EXPECT_EQ(RectOf(*object), (TGPRect{200, 100, 1, 40}));
    Move({230, 100});
    EXPECT_EQ(RectOf(*object), (TGPRect{230, 100, 1, 40}));
    Release({230, 100});
    EXPECT_EQ(object->ApplySizeCalls, 1);
}

TEST_F(RectBaseTest, CursorsOverEachHandle)
{
    TCountingRect* object = Owner->Add({100, 100, 201, 101});
    Press({150, 150});
    Release({150, 150});
    for (int i = 0; i < 8; ++i) {
        const TGPRect& s = object->Handles[i];
        Move({s.X + 2, s.Y + 2});
        EXPECT_EQ(AppCursorShape(), HandleCursor(i)) << "handle " << i;
    }
    Move({150, 150});
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(RectBaseTest, ManyMovesOverAHandleLeaveNoOverrideBehind)
{
    Owner->Add({100, 100, 200, 100});
    Press({150, 150});
    Release({150, 150});
    for (int i = 0; i < 50; ++i)
        Move({299 + (i % 3) - 1, 199 + (i % 2)});
    EXPECT_FALSE(AppCursorIsDefault());
    Move({500, 400});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(RectBaseTest, UnselectedObjectDeclinesPressWhileSizingCursorShows)
{
    TCountingRect* photo = Owner->Add({100, 100, 200, 100});
    TCountingRect* overlay = Owner->Add({280, 180, 60, 60}, false); // covers handle 7 (299, 199)
    Press({150, 150});
    Release({150, 150});
    ASSERT_TRUE(photo->Selected);

    Move({299, 199});
    ASSERT_EQ(AppCursorShape(), Qt::SizeFDiagCursor);
    Press({299, 199});
    EXPECT_FALSE(overlay->Selected);
    EXPECT_TRUE(photo->Selected);
    EXPECT_EQ(photo->DragMode, TRectBase::DragResizing);
    Move({309, 199});
    Release({309, 199});
    EXPECT_EQ(RectOf(*photo), (TGPRect{100, 100, 210, 105}));

    // With the default cursor the same object takes the press and moves.
    Move({330, 230});
    ASSERT_TRUE(AppCursorIsDefault());
    Press({330, 230});
    EXPECT_TRUE(overlay->Selected);
    EXPECT_FALSE(photo->Selected);
    EXPECT_EQ(overlay->DragMode, TRectBase::DragMoving);
    Release({330, 230});
}

TEST_F(RectBaseTest, RightPressSelectsWithoutStartingADrag)
{
    TCountingRect* a = Owner->Add({100, 100, 200, 100});
    TCountingRect* b = Owner->Add({400, 100, 200, 100});
    Press({150, 150});
    Release({150, 150});
    Press({450, 150}, Qt::RightButton);
    QTest::mouseRelease(Owner.get(), Qt::RightButton, Qt::NoModifier, {450, 150});
    EXPECT_TRUE(b->Selected);
    EXPECT_FALSE(a->Selected);
    EXPECT_EQ(b->DragMode, TRectBase::DragIdle);
    Move({500, 170});
    EXPECT_EQ(RectOf(*b), (TGPRect{400, 100, 200, 100}));
    // Outside every object: nothing changes.
    Press({50, 50}, Qt::RightButton);
    EXPECT_TRUE(b->Selected);
}

TEST_F(RectBaseTest, HandleOutsideTheRectangleStartsAResize)
{
    TCountingRect* object = Owner->Add({100, 100, 200, 100}, false);
    Press({150, 150});
    Release({150, 150});
    // (98, 98) lies in handle 0's square but outside the rectangle.
    Press({98, 98});
    EXPECT_EQ(object->DragMode, TRectBase::DragResizing);
    EXPECT_EQ(object->DragHandle, 0);
    Move({90, 95});
    Release({90, 95});
    EXPECT_EQ(RectOf(*object), (TGPRect{92, 97, 208, 103}));
}
