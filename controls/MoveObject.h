#pragma once

// A rectangle on a movable-object container that the user selects, moves and
// resizes with the mouse through eight handle squares. It draws nothing
// itself: descendants add the content (the frame split grid).
//
// Mouse operations take the pointer in the container's client coordinates and
// answer whether the object took the event; the container asks its objects
// from the top (last in its list) down and stops at the first taker.

#include "GdiDraw.h"
#include "MyGdiPlus.h"
#include "RectTools.h"

#include <QPainter>

#include <cstdint>

class TMoveContain;

class TMoveObject
{
public:
    enum : uint8_t
    {
        DragMoving = 0,
        DragResizing = 1,
        DragIdle = 2,
    };

    // Unselected, (0, 0, 100, 100), idle.
    explicit TMoveObject(TMoveContain* owner);
    virtual ~TMoveObject();
    TMoveObject(const TMoveObject&) = delete;
    TMoveObject& operator=(const TMoveObject&) = delete;

    // The content; nothing here.
    virtual void Paint(QPainter& g);
    // In the rectangle (right and bottom edges outside), or, while Selected,
    // in a handle square.
    virtual bool HitTest(int px, int py);
    // The rectangle follows the pointer from where it was at the press.
    virtual void DragMove(int px, int py);
    // The grabbed handle's sides follow the pointer; width and height never
    // fall below 1.
    virtual void DragResize(int px, int py);
    // The sizing cursor of the handle under the pointer, else the default.
    virtual void UpdateCursor(int px, int py);
    // Selects the object (deselecting every other one first) and starts a
    // resize on a handle or a move on the body.
    virtual bool MouseDown(int px, int py);
    // The dashed outline and the eight handle squares while Selected.
    virtual void PaintSelection(QPainter& g);
    // What must not be painted over: the handle squares and the one-pixel
    // border while Selected; empty otherwise. The object keeps the region.
    virtual const TGPRegion& GetRegion();
    // Ends a drag; false while unselected.
    virtual bool MouseUp(int px, int py);
    // Selects the object without starting a drag.
    virtual bool RightDown(int px, int py);

    // Stores the flag only.
    void SetSelected(bool value) { Selected = value; }
    // Recomputes Handles from the rectangle; nothing while not Selected.
    void UpdateHandles();
    static TGPRect HandleRect(int cx, int cy) { return HandleSquare(cx, cy); }
    TGPRect GetRect() const { return TGPRect{X, Y, Width, Height}; }

    bool Selected = false;
    TMoveContain* Owner = nullptr;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 100;
    int32_t Height = 100;
    uint8_t DragMode = DragIdle;
    uint8_t DragHandle = 0;
    int32_t DownX = 0;
    int32_t DownY = 0;
    int32_t StartX = 0;
    int32_t StartY = 0;
    int32_t StartWidth = 0;
    int32_t StartHeight = 0;
    TGPRegion Region;
    bool KeepAspect = false;
    THandleSquares Handles{};

protected:
    // The start rectangle := the rectangle.
    void KeepStartRect();
    TGPRect StartRect() const { return TGPRect{StartX, StartY, StartWidth, StartHeight}; }
    // Sends the deselect message to the container.
    void DeselectOwner();
    void InvalidateOwner();
    // A press on an unselected object is declined while a sizing or move
    // cursor shows.
    bool DeclinesPress() const { return !Selected && !AppCursorIsDefault(); }
    // The one-pixel border of the rectangle added to Region.
    void AddBorderToRegion();
};
