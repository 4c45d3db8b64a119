#pragma once

// A selectable, movable, resizable rectangle on a composing control (the
// canvas, the print preview): the base of the photo, frame, clip-art and text
// objects. Its owner routes each mouse event to its objects, top first, until
// one answers true.

#include "GdiDraw.h"
#include "MyGdiPlus.h"
#include "RectTools.h"

#include <QPainter>
#include <QWidget>

#include <cstdint>

class TRectBase;

// What an object needs of the control that holds it. The control derives
// from both QWidget and TRectOwner and hands itself to each object as Owner;
// the object finds this interface by dynamic_cast.
//
// DeselectAll is the deselect message: an object calls it synchronously from
// its own press handling, before it selects itself, and the owner calls
// SetSelected(false) on every object it holds (without repainting).
class TRectOwner
{
public:
    virtual ~TRectOwner() = default;
    virtual void DeselectAll() = 0;
};

class TRectBase
{
public:
    enum : uint8_t
    {
        DragMoving = 0,
        DragResizing = 1,
        DragIdle = 2,
    };

    // Owner may be null (no deselect, no repaint).
    explicit TRectBase(QWidget* owner);
    virtual ~TRectBase();
    TRectBase(const TRectBase&) = delete;
    TRectBase& operator=(const TRectBase&) = delete;

    // Draw, then (by the owner) DrawSelection.
    void Paint(QPainter& g) { Draw(g); }
    // The dashed outline and the eight handle squares while Selected.
    void DrawSelection(QPainter& g);
    // Selected := value, then UpdateRegion.
    void SetSelected(bool value);
    // Recomputes Handles from the rectangle; nothing while not Selected.
    void CalcHandles();
    TGPRect GetRect() const { return TGPRect{X, Y, Width, Height}; }
    // Moves the rectangle to Rect. Every change of the rectangle goes
    // through here: the region follows it at once (the canvas clips its
    // painting to the frame's region) and the owner repaints, so neither the
    // old nor the new place keeps a stale picture.
    void SetBounds(const TGPRect& rect);

    // Draws the content into the rectangle; nothing here.
    virtual void Draw(QPainter& g);
    // Adopts a new size after a resize drag; nothing here.
    virtual void ApplySize();
    // Region := the rectangle, plus the handle squares while Selected.
    virtual void UpdateRegion();
    // In the rectangle, or (while Selected) in a handle square.
    virtual bool HitTest(int px, int py);
    // Draws the content for export at (X - OffsetX, Y - OffsetY) times Scale;
    // nothing here.
    virtual void DrawScaled(QPainter& g, int offsetX, int offsetY, double scale);

    // Mouse events with the pointer in the owner's client coordinates; each
    // answers whether the object took it.
    virtual bool MouseUp(int px, int py);
    virtual bool MouseDown(int px, int py);
    virtual bool RButtonDown(int px, int py);
    virtual bool MouseMove(int px, int py);

    bool Selected = false;
    QWidget* Owner = nullptr;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 1;
    int32_t Height = 1;
    uint8_t DragMode = DragIdle;
    uint8_t DragHandle = 0;
    int32_t DownX = 0;
    int32_t DownY = 0;
    int32_t StartX = 0;
    int32_t StartY = 0;
    int32_t StartWidth = 0;
    int32_t StartHeight = 0;
    // Unbounded until the first UpdateRegion.
    TGPRegion Region;
    bool KeepAspect = true;
    THandleSquares Handles{};

protected:
    // Sends the deselect message to the owner.
    void DeselectOwner();
    // Repaints the owner.
    void InvalidateOwner();
};
