#include "RectBase.h"

TRectBase::TRectBase(QWidget* owner) : Owner(owner) {}

TRectBase::~TRectBase() = default;

void TRectBase::DrawSelection(QPainter& g)
{
    if (!Selected)
        return;
    CalcHandles();
    DrawSelectionMarks(g, GetRect(), Handles);
}

void TRectBase::SetSelected(bool value)
{
    Selected = value;
    UpdateRegion();
}

void TRectBase::SetBounds(const TGPRect& rect)
{
    X = rect.X;
    Y = rect.Y;
    Width = rect.Width;
    Height = rect.Height;
    UpdateRegion();
    InvalidateOwner();
}

void TRectBase::CalcHandles()
{
    if (!Selected)
        return;
    Handles = CalcHandleSquares(GetRect());
}

void TRectBase::Draw(QPainter&) {}

void TRectBase::ApplySize() {}

void TRectBase::UpdateRegion()
{
    Region.MakeEmpty();
    Region.Union(GetRect());
    if (Selected) {
        CalcHandles();
        for (const TGPRect& square : Handles)
            Region.Union(square);
    }
}

bool TRectBase::HitTest(int px, int py)
{
    if (GPRectContains(GetRect(), TGPPoint{px, py}))
        return true;
    return Selected && HandleAt(CalcHandleSquares(GetRect()), px, py) >= 0;
}

void TRectBase::DrawScaled(QPainter&, int, int, double) {}

bool TRectBase::MouseUp(int, int)
{
    if (!Selected)
        return false;
    SetAppCursor(Qt::ArrowCursor);
    if (DragMode == DragResizing) {
        ApplySize();
        InvalidateOwner();
    }
    DragMode = DragIdle;
    return true;
}

bool TRectBase::MouseDown(int px, int py)
{
    if (!HitTest(px, py))
        return false;
    // While a sizing cursor shows over the selected object's handle, the
    // objects above it let the press through.
    if (!AppCursorIsDefault() && !Selected)
        return false;
    DeselectOwner();
    Selected = true;

    const TGPRect rect = GetRect();
    const int handle = HandleAt(CalcHandleSquares(rect), px, py);
    if (handle >= 0) {
        DragMode = DragResizing;
        StartX = X;
        StartY = Y;
        StartWidth = Width;
        StartHeight = Height;
        DragHandle = uint8_t(handle);
        DownX = px;
        DownY = py;
    } else if (GPRectContains(rect, TGPPoint{px, py})) {
        // The owner keeps the mouse from this press to the release (the
        // toolkit's implicit grab), so the drag goes on outside it.
        DownX = px;
        DownY = py;
        StartX = X;
        StartY = Y;
        StartWidth = Width;
        StartHeight = Height;
        DragMode = DragMoving;
        SetAppCursor(Qt::PointingHandCursor);
    }
    UpdateRegion();
    InvalidateOwner();
    return true;
}

bool TRectBase::RButtonDown(int px, int py)
{
    if (!HitTest(px, py))
        return false;
    if (!AppCursorIsDefault() && !Selected)
        return false;
    DeselectOwner();
    Selected = true;
    UpdateRegion();
    InvalidateOwner();
    return true;
}

bool TRectBase::MouseMove(int px, int py)
{
    if (!Selected)
        return false;
    switch (DragMode) {
    case DragMoving:
        SetBounds(TGPRect{StartX + (px - DownX), StartY + (py - DownY), StartWidth, StartHeight});
        break;
    case DragResizing: {
        const TGPRect start{StartX, StartY, StartWidth, StartHeight};
        SetBounds(ResizeRect(start, DragHandle, px - DownX, py - DownY, KeepAspect));
        break;
    }
    default: {
        const int handle = HandleAt(CalcHandleSquares(GetRect()), px, py);
        SetAppCursor(handle >= 0 ? HandleCursor(handle) : Qt::ArrowCursor);
        break;
    }
    }
    return true;
}

void TRectBase::DeselectOwner()
{
    if (auto* owner = dynamic_cast<TRectOwner*>(Owner))
        owner->DeselectAll();
}

void TRectBase::InvalidateOwner()
{
    if (Owner)
        Owner->update();
}
