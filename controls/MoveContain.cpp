#include "MoveContain.h"

#include "RectTools.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>

#include <algorithm>

TMoveContain::TMoveContain(QWidget* parent) : QWidget(parent)
{
    // The background counts as erased: the content covers what it paints.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Moves without a button held drive the sizing cursors.
    setMouseTracking(true);
}

TMoveContain::~TMoveContain()
{
    for (auto& object : Objects)
        object.reset();
    Objects.clear();
    RestoreEditingCursor();
}

void TMoveContain::AddObject(std::unique_ptr<TMoveObject> Obj)
{
    if (!Obj)
        return;
    Objects.push_back(std::move(Obj));
    update();
}

void TMoveContain::DeselectAll()
{
    for (auto& object : Objects)
        object->SetSelected(false);
}

void TMoveContain::PaintContent(QPainter& g)
{
    PaintObjects(g);
}

void TMoveContain::PaintObjects(QPainter& g)
{
    for (auto& object : Objects) {
        object->Paint(g);
        object->PaintSelection(g);
        ExcludeClipRegion(g, object->GetRegion());
    }
}

void TMoveContain::paintEvent(QPaintEvent*)
{
    // The content is drawn over the whole client area, not only the part
    // that needs it.
    QPainter g(this);
    PaintContent(g);
}

void TMoveContain::resizeEvent(QResizeEvent* event)
{
    update();
    QWidget::resizeEvent(event);
}

void TMoveContain::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        // An object's answer does not matter for the repaint.
        for (auto i = Objects.size(); i-- > 0;) {
            const bool taken = Objects[i]->MouseDown(p.x(), p.y());
            update();
            if (taken)
                break;
        }
    } else if (event->button() == Qt::RightButton) {
        for (auto i = Objects.size(); i-- > 0;) {
            if (Objects[i]->RightDown(p.x(), p.y()))
                break;
        }
    }
    QWidget::mousePressEvent(event);
}

void TMoveContain::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        for (auto i = Objects.size(); i-- > 0;) {
            if (Objects[i]->MouseUp(p.x(), p.y()))
                break;
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void TMoveContain::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    for (auto i = Objects.size(); i-- > 0;) {
        TMoveObject& object = *Objects[i];
        if (!object.Selected)
            continue;
        switch (object.DragMode) {
        case TMoveObject::DragMoving:
            object.DragMove(p.x(), p.y());
            update();
            break;
        case TMoveObject::DragResizing:
            object.DragResize(p.x(), p.y());
            update();
            break;
        case TMoveObject::DragIdle:
            object.UpdateCursor(p.x(), p.y());
            break;
        default:
            SetAppCursor(Qt::ArrowCursor);
            break;
        }
        break;
    }
    QWidget::mouseMoveEvent(event);
}

void TMoveContain::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void TMoveContain::leaveEvent(QEvent* event)
{
    // A sizing cursor set over a handle would otherwise stay on the whole
    // application after the pointer has left the control. A drag keeps the
    // mouse and ends with its own release.
    const bool dragging = std::any_of(Objects.begin(), Objects.end(), [](const auto& object) {
        return object->DragMode != TMoveObject::DragIdle;
    });
    if (!dragging)
        SetAppCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

void TMoveContain::hideEvent(QHideEvent* event)
{
    RestoreEditingCursor();
    QWidget::hideEvent(event);
}
