// The movable-object container: routing of presses, moves and releases to
// its objects, selection, moving and resizing, the handle cursors and the
// painting that keeps selection marks from being painted over.

#include "MoveContain.h"
#include "MoveObject.h"

#include "TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// An object that fills its rectangle with one colour.
class TFilledObject : public TMoveObject
{
public:
    TFilledObject(TMoveContain* owner, const TGPRect& r, QColor color)
        : TMoveObject(owner), Color(color)
    {
        X = r.X;
        Y = r.Y;
        Width = r.Width;
        Height = r.Height;
    }
    void Paint(QPainter& g) override { g.fillRect(ToQRect(GetRect()), Color); }
    QColor Color;
};

class MoveContainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetAppCursor(Qt::ArrowCursor);
        Contain = std::make_unique<TMoveContain>();
        Contain->resize(300, 200);
    }
    void TearDown() override
    {
        Contain.reset();
        SetAppCursor(Qt::ArrowCursor);
    }

    TFilledObject* Add(const TGPRect& r, QColor color = Qt::green)
    {
        auto object = std::make_unique<TFilledObject>(Contain.get(), r, color);
        TFilledObject* raw = object.get();
        Contain->AddObject(std::move(object));
        return raw;
    }

    void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(Contain.get(), button, Qt::NoModifier, QPoint(x, y));
    }
    void Release(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(Contain.get(), button, Qt::NoModifier, QPoint(x, y));
    }
    void Move(int x, int y, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), Contain->mapToGlobal(QPointF(x, y)),
                          Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(Contain.get(), &event);
    }

    // The content painted over a client area first filled with Fill.
    QImage PaintOver(QColor fill)
    {
        QImage image = MakeSolid(Contain->width(), Contain->height(), fill);
        QPainter g(&image);
        Contain->PaintContent(g);
        return image;
    }

    std::unique_ptr<TMoveContain> Contain;
};

TEST_F(MoveContainTest, NewObjectAndContainerDefaults)
{
    TMoveObject object(Contain.get());
    EXPECT_FALSE(object.Selected);
    EXPECT_EQ(object.GetRect(), (TGPRect{0, 0, 100, 100}));
    EXPECT_EQ(object.DragMode, TMoveObject::DragIdle);
    EXPECT_FALSE(object.KeepAspect);
    EXPECT_TRUE(object.GetRegion().IsEmpty());
    EXPECT_EQ(Contain->GetBKColor(), MakeColorRef(255, 255, 255));
    EXPECT_TRUE(Contain->GetObjects().empty());
}

TEST_F(MoveContainTest, HandleSquaresAndRegionOfASelectedObject)
{
    TFilledObject* object = Add({10, 20, 41, 30});
    object->UpdateHandles();
    // Unselected: the squares keep their last (initial) positions.
    EXPECT_EQ(object->Handles[7], (TGPRect{}));
    object->SetSelected(true);
    object->UpdateHandles();
    EXPECT_EQ(object->Handles[0], (TGPRect{8, 18, 5, 5}));
    EXPECT_EQ(object->Handles[1], (TGPRect{28, 18, 5, 5}));
    EXPECT_EQ(object->Handles[2], (TGPRect{48, 18, 5, 5}));
    EXPECT_EQ(object->Handles[3], (TGPRect{8, 33, 5, 5}));
    EXPECT_EQ(object->Handles[4], (TGPRect{48, 33, 5, 5}));
    EXPECT_EQ(object->Handles[5], (TGPRect{8, 47, 5, 5}));
    EXPECT_EQ(object->Handles[6], (TGPRect{28, 47, 5, 5}));
    EXPECT_EQ(object->Handles[7], (TGPRect{48, 47, 5, 5}));

    const TGPRegion& region = object->GetRegion();
    EXPECT_TRUE(region.IsVisible(10, 35));  // left border
    EXPECT_TRUE(region.IsVisible(50, 35));  // right border
    EXPECT_TRUE(region.IsVisible(30, 49));  // bottom border
    EXPECT_TRUE(region.IsVisible(8, 18));   // a handle's corner outside
    EXPECT_FALSE(region.IsVisible(30, 35)); // the body
    EXPECT_FALSE(region.IsVisible(51, 40)); // just right of the rectangle

    object->SetSelected(false);
    EXPECT_TRUE(object->GetRegion().IsEmpty());
}

TEST_F(MoveContainTest, HitTestExcludesRightAndBottomEdgesUnlessOnAHandle)
{
    TFilledObject* object = Add({10, 10, 20, 20});
    EXPECT_TRUE(object->HitTest(10, 10));
    EXPECT_TRUE(object->HitTest(29, 29));
    EXPECT_FALSE(object->HitTest(30, 20));
    EXPECT_FALSE(object->HitTest(8, 8));
    object->SetSelected(true);
    EXPECT_TRUE(object->HitTest(30, 20)); // handle 4 around (29, 20)
    EXPECT_TRUE(object->HitTest(8, 8));
}

TEST_F(MoveContainTest, TopObjectTakesThePressAndSelectionIsExclusive)
{
    TFilledObject* lower = Add({10, 10, 100, 100});
    TFilledObject* upper = Add({50, 50, 100, 100});
    Press(60, 60);
    EXPECT_TRUE(upper->Selected);
    EXPECT_FALSE(lower->Selected);
    EXPECT_EQ(upper->DragMode, TMoveObject::DragMoving);
    EXPECT_EQ(AppCursorShape(), Qt::PointingHandCursor);
    Release(60, 60);
    EXPECT_EQ(upper->DragMode, TMoveObject::DragIdle);
    EXPECT_TRUE(AppCursorIsDefault());

    Press(20, 20);
    EXPECT_TRUE(lower->Selected);
    EXPECT_FALSE(upper->Selected);
    Release(20, 20);

    // A right press selects without a drag.
    Press(140, 140, Qt::RightButton);
    EXPECT_TRUE(upper->Selected);
    EXPECT_FALSE(lower->Selected);
    EXPECT_EQ(upper->DragMode, TMoveObject::DragIdle);
}

TEST_F(MoveContainTest, FirstPressOnTheCornerOfAnUnselectedObjectMovesIt)
{
    TFilledObject* object = Add({100, 50, 60, 40});
    Press(100, 50);
    EXPECT_TRUE(object->Selected);
    EXPECT_EQ(object->DragMode, TMoveObject::DragMoving);
    Move(110, 55);
    EXPECT_EQ(object->GetRect(), (TGPRect{110, 55, 60, 40}));
    Release(110, 55);
}

TEST_F(MoveContainTest, MoveGoesOnOutsideTheControlUntilTheRelease)
{
    TFilledObject* object = Add({10, 10, 50, 40});
    Press(20, 20);
    Move(500, -30);
    EXPECT_EQ(object->GetRect(), (TGPRect{490, -40, 50, 40}));
    Release(500, -30);
    EXPECT_EQ(object->DragMode, TMoveObject::DragIdle);
    // After the release moves only drive the cursor.
    Move(100, 100, Qt::NoButton);
    EXPECT_EQ(object->GetRect(), (TGPRect{490, -40, 50, 40}));
}

TEST_F(MoveContainTest, ResizeByEachHandleIsFreeAndNeverBelowOnePixel)
{
    TFilledObject* object = Add({100, 50, 60, 40});
    object->SetSelected(true);
    // Handle 7 at (159, 89): 10 right, 5 down.
    Press(159, 89);
    EXPECT_EQ(object->DragMode, TMoveObject::DragResizing);
    EXPECT_EQ(object->DragHandle, 7);
    Move(169, 94);
    EXPECT_EQ(object->GetRect(), (TGPRect{100, 50, 70, 45}));
    Release(169, 94);

    // Handle 0 at (100, 50) dragged past the opposite corner: the size stays
    // 1 and the position follows the pointer.
    Press(100, 50);
    EXPECT_EQ(object->DragHandle, 0);
    Move(200, 150);
    EXPECT_EQ(object->GetRect(), (TGPRect{200, 150, 1, 1}));
    Move(90, 60);
    EXPECT_EQ(object->GetRect(), (TGPRect{90, 60, 80, 35}));
    Release(90, 60);

    // Handle 1, top middle: only the top side moves.
    object->X = 100;
    object->Y = 50;
    object->Width = 60;
    object->Height = 40;
    Press(130, 50);
    EXPECT_EQ(object->DragHandle, 1);
    Move(170, 30);
    EXPECT_EQ(object->GetRect(), (TGPRect{100, 30, 60, 60}));
    Release(170, 30);
}

TEST_F(MoveContainTest, CursorOverHandlesAndPressesDeclinedUnderASizingCursor)
{
    TFilledObject* lower = Add({10, 10, 100, 100});
    TFilledObject* upper = Add({105, 50, 50, 50});
    lower->SetSelected(true);
    // Handle 4 of the lower object at (109, 60) lies inside the upper one;
    // the upper one is asked first but is not selected, so the lower one
    // sets the cursor.
    Move(109, 60, Qt::NoButton);
    EXPECT_EQ(AppCursorShape(), Qt::SizeHorCursor);
    // While the sizing cursor shows, the unselected upper object declines.
    Press(109, 60);
    EXPECT_TRUE(lower->Selected);
    EXPECT_FALSE(upper->Selected);
    EXPECT_EQ(lower->DragMode, TMoveObject::DragResizing);
    EXPECT_EQ(lower->DragHandle, 4);
    Release(109, 60);

    const std::pair<QPoint, Qt::CursorShape> cases[] = {
        {{10, 10}, Qt::SizeFDiagCursor},   {{60, 10}, Qt::SizeVerCursor},
        {{109, 10}, Qt::SizeBDiagCursor},  {{10, 109}, Qt::SizeBDiagCursor},
        {{109, 109}, Qt::SizeFDiagCursor}, {{60, 60}, Qt::ArrowCursor},
    };
    for (const auto& [point, shape] : cases) {
        Move(point.x(), point.y(), Qt::NoButton);
        EXPECT_EQ(AppCursorShape(), shape) << point.x() << "," << point.y();
    }
}

TEST_F(MoveContainTest, SecondPressOfADoubleClickReachesNoObject)
{
    TFilledObject* object = Add({10, 10, 50, 50});
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(20, 20),
                      Contain->mapToGlobal(QPointF(20, 20)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(Contain.get(), &event);
    EXPECT_FALSE(object->Selected);
    EXPECT_EQ(object->DragMode, TMoveObject::DragIdle);
    EXPECT_TRUE(AppCursorIsDefault());
}

TEST_F(MoveContainTest, EmptyContainerPaintsNothingAndSelectionMarksStayOnTop)
{
    EXPECT_TRUE(SamePixels(PaintOver(Qt::blue), MakeSolid(300, 200, Qt::blue)));

    TFilledObject* lower = Add({10, 10, 50, 50}, Qt::green);
    Add({30, 30, 50, 50}, Qt::red);
    lower->SetSelected(true);
    const QImage image = PaintOver(Qt::blue);
    // The lower object's border and handles are black over the upper one.
    EXPECT_EQ(PixelAt(image, 59, 59), qRgb(0, 0, 0)); // handle 7's centre
    EXPECT_EQ(PixelAt(image, 59, 45), qRgb(0, 0, 0)); // right border, a dash
    EXPECT_EQ(PixelAt(image, 40, 40), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 20, 20), qRgb(0, 255, 0));
    // Outside every object the control paints nothing.
    EXPECT_EQ(PixelAt(image, 200, 150), qRgb(0, 0, 255));
}

TEST_F(MoveContainTest, DeselectAllClearsEveryObjectAndBKColorOnlyStores)
{
    TFilledObject* a = Add({0, 0, 10, 10});
    TFilledObject* b = Add({20, 0, 10, 10});
    a->SetSelected(true);
    b->SetSelected(true);
    Contain->DeselectAll();
    EXPECT_FALSE(a->Selected);
    EXPECT_FALSE(b->Selected);
    Contain->SetBKColor(MakeColorRef(1, 2, 3));
    EXPECT_EQ(Contain->GetBKColor(), MakeColorRef(1, 2, 3));
}

} // namespace
