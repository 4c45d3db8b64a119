#include "ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

TColorSwatch::TColorSwatch(const QColor& Color, bool Outline, QWidget* parent)
    : QWidget(parent), m_color(Color), m_outline(Outline)
{}

void TColorSwatch::SetColor(const QColor& Color)
{
    m_color = Color;
    update();
}

void TColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
    if (m_outline) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TColorSwatch::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit MouseDown(event->button());
}
