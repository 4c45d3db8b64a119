#include "PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {}

void TPaintBox::paintEvent(QPaintEvent*)
{
    if (!OnPaint)
        return;
    QPainter painter(this);
    painter.setClipRect(rect());
    OnPaint(painter);
}

void TPaintBox::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a left press and release inside the box.
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit Click();
}
