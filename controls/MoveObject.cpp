#include "MoveObject.h"

#include "MoveContain.h"

TMoveObject::TMoveObject(TMoveContain* owner) : Owner(owner)
{
    Region.MakeEmpty();
}

TMoveObject::~TMoveObject() = default;

void TMoveObject::Paint(QPainter&) {}

bool TMoveObject::HitTest(int px, int py)
{
    if (GPRectContains(GetRect(), TGPPoint{px, py}))
        return true;
    if (!Selected)
        return false;
    UpdateHandles();
    return HandleAt(Handles, px, py) >= 0;
}

void TMoveObject::DragMove(int px, int py)
{
    X = StartX + (px - DownX);
    Y = StartY + (py - DownY);
    Width = StartWidth;
    Height = StartHeight;
}

void TMoveObject::DragResize(int px, int py)
{
    const TGPRect r = ResizeRect(StartRect(), DragHandle, px - DownX, py - DownY, KeepAspect);
    X = r.X;
    Y = r.Y;
    Width = r.Width;
    Height = r.Height;
}

void TMoveObject::UpdateCursor(int px, int py)
{
    UpdateHandles();
    SetAppCursor(HandleCursor(HandleAt(Handles, px, py)));
}

bool TMoveObject::MouseDown(int px, int py)
{
    if (!HitTest(px, py))
        return false;
    if (DeclinesPress())
        return false;
    // The handle squares of an object that was not selected stay where they
    // were last shown (nowhere for one never selected), so a first press on
    // its corner moves it rather than resizing it.
    UpdateHandles();
    DeselectOwner();
    Selected = true;

    const int handle = HandleAt(Handles, px, py);
    if (handle >= 0) {
        DragMode = DragResizing;
        KeepStartRect();
        DragHandle = uint8_t(handle);
        DownX = px;
        DownY = py;
    } else if (GPRectContains(GetRect(), TGPPoint{px, py})) {
        // The container keeps the mouse from this press to the release (the
        // toolkit's implicit grab), so the drag goes on outside it.
        DownX = px;
        DownY = py;
        KeepStartRect();
        DragMode = DragMoving;
        SetAppCursor(Qt::PointingHandCursor);
    }
    return true;
}

void TMoveObject::PaintSelection(QPainter& g)
{
    if (!Selected)
        return;
    UpdateHandles();
    DrawSelectionMarks(g, GetRect(), Handles);
}

const TGPRegion& TMoveObject::GetRegion()
{
    Region.MakeEmpty();
    UpdateHandles();
    if (Selected) {
        for (const TGPRect& square : Handles)
            Region.Union(square);
        AddBorderToRegion();
    }
    return Region;
}

bool TMoveObject::MouseUp(int, int)
{
    if (!Selected)
        return false;
    // The toolkit gives the mouse back with the release itself.
    SetAppCursor(Qt::ArrowCursor);
    if (DragMode == DragResizing)
        InvalidateOwner();
    DragMode = DragIdle;
    return true;
}

bool TMoveObject::RightDown(int px, int py)
{
    if (!HitTest(px, py))
        return false;
    if (DeclinesPress())
        return false;
    DeselectOwner();
    Selected = true;
    InvalidateOwner();
    return true;
}

void TMoveObject::UpdateHandles()
{
    if (Selected)
        Handles = CalcHandleSquares(GetRect());
}

void TMoveObject::KeepStartRect()
{
    StartX = X;
    StartY = Y;
    StartWidth = Width;
    StartHeight = Height;
}

void TMoveObject::DeselectOwner()
{
    if (Owner)
        Owner->DeselectAll();
}

void TMoveObject::InvalidateOwner()
{
    if (Owner)
        Owner->update();
}

void TMoveObject::AddBorderToRegion()
{
    Region.Union(TGPRect{X, Y, 1, Height});
    Region.Union(TGPRect{X, Y, Width, 1});
    Region.Union(TGPRect{X + Width - 1, Y, 1, Height});
    Region.Union(TGPRect{X, Y + Height - 1, Width, 1});
}
