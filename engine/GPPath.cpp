#include "GPPath.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>

TGPPath::TGPPath(TFillMode mode) : m_mode(mode)
{
    m_path.setFillRule(mode == TFillMode::Alternate ? Qt::OddEvenFill : Qt::WindingFill);
}

void TGPPath::AddRectangle(const TGPRect& rect)
{
    AddRectangle(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
}

void TGPPath::AddRectangle(const QRectF& rect)
{
    if (!(rect.width() > 0) || !(rect.height() > 0))
        return;
    m_path.addRect(rect);
    ++m_figures;
}

void TGPPath::AddEllipse(const TGPRect& rect)
{
    AddEllipse(QRectF(rect.X, rect.Y, rect.Width, rect.Height));
}

void TGPPath::AddEllipse(const QRectF& rect)
{
    if (!(rect.width() > 0) || !(rect.height() > 0))
        return;
    m_path.addEllipse(rect);
    ++m_figures;
}

void TGPPath::AddPolygon(const std::vector<QPointF>& points)
{
    if (points.size() < 3)
        return;
    QPolygonF polygon(points.begin(), points.end());
    polygon.append(points.front());
    m_path.addPolygon(polygon);
    m_path.closeSubpath();
    ++m_figures;
}

void FillPath(QPainter& painter, const TGPPath& path, const QBrush& brush)
{
    if (path.IsEmpty() || brush.style() == Qt::NoBrush)
        return;
    painter.fillPath(path.PainterPath(), brush);
}

QBrush MakeSolidBrush(const QColor& color)
{
    return QBrush(color, Qt::SolidPattern);
}

QBrush MakeTextureBrush(const QImage& texture)
{
    if (texture.isNull())
        return QBrush(Qt::NoBrush);
    return QBrush(texture);
}

// QTransform's translate, rotate and scale put the new step in front of the
// existing ones, which is the prepend order.
void TranslateBrushTransform(QBrush& brush, double dx, double dy)
{
    QTransform t = brush.transform();
    t.translate(dx, dy);
    brush.setTransform(t);
}

void RotateBrushTransform(QBrush& brush, double degrees)
{
    QTransform t = brush.transform();
    t.rotate(degrees);
    brush.setTransform(t);
}

void ScaleBrushTransform(QBrush& brush, double sx, double sy)
{
    QTransform t = brush.transform();
    t.scale(sx, sy);
    brush.setTransform(t);
}

QPen MakeSolidPen(const QColor& color, double width)
{
    QPen pen(color);
    pen.setWidthF(width);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}
