#pragma once

// A control that hosts movable objects: it routes the mouse to them from the
// top of its list down, paints them and keeps each object's selection marks
// from being painted over by whatever is drawn later in the same paint. At
// most one object is selected. The control paints no background of its own:
// a descendant's PaintContent fills it.

#include "GdiDraw.h"
#include "MoveObject.h"

#include <QPainter>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

using TmoMouseMove = std::function<void(int XPos, int YPos, TMoveObject* MoveObject)>;
using TmoMouseClick = std::function<void(int XPos, int YPos, TMoveObject* MoveObject)>;
using TmoMouseDoubleClick = std::function<void(int XPos, int YPos, TMoveObject* MoveObject)>;
using TmoRightClick = std::function<void(int XPos, int YPos, TMoveObject* MoveObject)>;

class TMoveContain : public QWidget
{
public:
    explicit TMoveContain(QWidget* parent = nullptr);
    ~TMoveContain() override;

    // Appends Obj, which the control owns from then on, and repaints.
    void AddObject(std::unique_ptr<TMoveObject> Obj);
    // Every object unselected; no repaint. The objects' deselect message.
    void DeselectAll();

    const std::vector<std::unique_ptr<TMoveObject>>& GetObjects() const { return Objects; }

    TColorRef GetBKColor() const { return BKColor; }
    // Stores only: no repaint.
    void SetBKColor(TColorRef value) { BKColor = value; }

    // Stored for the form's wiring; the control fires none of them.
    void SetMouseMove(TmoMouseMove value) { FMouseMove = std::move(value); }
    void SetClick(TmoMouseClick value) { FClick = std::move(value); }
    void SetMouseDoubleClick(TmoMouseDoubleClick value) { FMouseDoubleClick = std::move(value); }
    void SetRightClick(TmoRightClick value) { FRightClick = std::move(value); }
    const TmoMouseMove& GetMouseMove() const { return FMouseMove; }
    const TmoMouseClick& GetClick() const { return FClick; }
    const TmoMouseDoubleClick& GetMouseDoubleClick() const { return FMouseDoubleClick; }
    const TmoRightClick& GetRightClick() const { return FRightClick; }

    // The whole client area's content; here the objects only.
    virtual void PaintContent(QPainter& g);
    // Each object from the bottom up: its content, its selection marks, then
    // its region taken out of the clip.
    virtual void PaintObjects(QPainter& g);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The second press of a double click reaches nobody.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TmoMouseClick FClick;
    TmoMouseDoubleClick FMouseDoubleClick;
    TmoMouseMove FMouseMove;
    TmoRightClick FRightClick;
    std::vector<std::unique_ptr<TMoveObject>> Objects;
    TColorRef BKColor = MakeColorRef(255, 255, 255);
};
