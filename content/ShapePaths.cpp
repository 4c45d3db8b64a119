#include "ShapePaths.h"

#include <QTransform>

#include <cmath>
#include <numbers>

namespace {

QPointF Polar(const QPointF& Centre, double Radius, double DegreesFromUp)
{
    const double a = DegreesFromUp * std::numbers::pi / 180.0;
    return Centre + QPointF(Radius * std::sin(a), -Radius * std::cos(a));
}

} // namespace

QPainterPath TShapePaths::Heart(const QRectF& Bounds)
{
    const double x = Bounds.x();
    const double y = Bounds.y();
    const double w = Bounds.width();
    const double h = Bounds.height();
    QPainterPath path;
    path.moveTo(x + w * 0.5, y + h * 0.27);
    path.cubicTo(x + w * 0.5, y + h * 0.05, x + w * 0.05, y - h * 0.02, x + w * 0.02, y + h * 0.3);
    path.cubicTo(x, y + h * 0.58, x + w * 0.3, y + h * 0.72, x + w * 0.5, y + h);
    path.cubicTo(x + w * 0.7, y + h * 0.72, x + w, y + h * 0.58, x + w * 0.98, y + h * 0.3);
    path.cubicTo(x + w * 0.95, y - h * 0.02, x + w * 0.5, y + h * 0.05, x + w * 0.5, y + h * 0.27);
    path.closeSubpath();
    return path;
}

QPainterPath TShapePaths::Star(const QPointF& Centre, double Radius, int Points, double Inner)
{
    QPainterPath path;
    for (int i = 0; i < Points * 2; ++i) {
        const double r = (i % 2 == 0) ? Radius : Radius * Inner;
        const QPointF p = Polar(Centre, r, 180.0 * i / Points);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QPainterPath TShapePaths::Petal(const QPointF& Centre, double Length, double Width, double Angle)
{
    QPainterPath path;
    path.moveTo(0, 0);
    path.cubicTo(Width * 0.9, -Length * 0.25, Width * 0.6, -Length * 0.9, 0, -Length);
    path.cubicTo(-Width * 0.6, -Length * 0.9, -Width * 0.9, -Length * 0.25, 0, 0);
    path.closeSubpath();
    QTransform t;
    t.translate(Centre.x(), Centre.y());
    t.rotate(Angle);
    return t.map(path);
}

QPainterPath TShapePaths::Flower(const QPointF& Centre, double Radius, int Petals,
                                 double PetalWidth)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i < Petals; ++i)
        path.addPath(Petal(Centre, Radius, PetalWidth, 360.0 * i / Petals));
    return path;
}

QPainterPath TShapePaths::Balloon(const QRectF& Bounds)
{
    const double x = Bounds.x();
    const double y = Bounds.y();
    const double w = Bounds.width();
    const double h = Bounds.height();
    QPainterPath path;
    path.moveTo(x + w * 0.5, y + h * 0.92);
    path.cubicTo(x - w * 0.05, y + h * 0.72, x - w * 0.02, y, x + w * 0.5, y);
    path.cubicTo(x + w * 1.02, y, x + w * 1.05, y + h * 0.72, x + w * 0.5, y + h * 0.92);
    // The knot.
    path.lineTo(x + w * 0.56, y + h);
    path.lineTo(x + w * 0.44, y + h);
    path.closeSubpath();
    return path;
}

QPainterPath TShapePaths::Leaf(const QPointF& Base, const QPointF& Tip, double Width)
{
    const QPointF d = Tip - Base;
    const double length = std::hypot(d.x(), d.y());
    const double angle = std::atan2(d.x(), -d.y()) * 180.0 / std::numbers::pi;
    QPainterPath path;
    path.moveTo(0, 0);
    path.cubicTo(Width, -length * 0.3, Width * 0.5, -length * 0.85, 0, -length);
    path.cubicTo(-Width * 0.5, -length * 0.85, -Width, -length * 0.3, 0, 0);
    path.closeSubpath();
    QTransform t;
    t.translate(Base.x(), Base.y());
    t.rotate(angle);
    return t.map(path);
}

QPainterPath TShapePaths::Bow(const QPointF& Centre, double Size)
{
    const double s = Size / 2;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    // Left loop.
    path.moveTo(Centre);
    path.cubicTo(Centre + QPointF(-s * 0.6, -s * 0.9), Centre + QPointF(-s * 1.1, -s * 0.5),
                 Centre + QPointF(-s, 0));
    path.cubicTo(Centre + QPointF(-s * 1.1, s * 0.5), Centre + QPointF(-s * 0.6, s * 0.9), Centre);
    // Right loop.
    path.cubicTo(Centre + QPointF(s * 0.6, -s * 0.9), Centre + QPointF(s * 1.1, -s * 0.5),
                 Centre + QPointF(s, 0));
    path.cubicTo(Centre + QPointF(s * 1.1, s * 0.5), Centre + QPointF(s * 0.6, s * 0.9), Centre);
    path.closeSubpath();
    // Two tails.
    QPainterPath tails;
    tails.moveTo(Centre + QPointF(-s * 0.1, 0));
    tails.lineTo(Centre + QPointF(-s * 0.7, s * 1.2));
    tails.lineTo(Centre + QPointF(-s * 0.45, s * 1.1));
    tails.lineTo(Centre + QPointF(-s * 0.35, s * 1.3));
    tails.lineTo(Centre + QPointF(s * 0.05, s * 0.1));
    tails.closeSubpath();
    tails.moveTo(Centre + QPointF(s * 0.1, 0));
    tails.lineTo(Centre + QPointF(s * 0.7, s * 1.2));
    tails.lineTo(Centre + QPointF(s * 0.45, s * 1.1));
    tails.lineTo(Centre + QPointF(s * 0.35, s * 1.3));
    tails.lineTo(Centre + QPointF(-s * 0.05, s * 0.1));
    tails.closeSubpath();
    path.addPath(tails);
    path.addEllipse(Centre, s * 0.16, s * 0.16);
    return path;
}

QPainterPath TShapePaths::Cloud(const QRectF& Bounds)
{
    const double x = Bounds.x();
    const double y = Bounds.y();
    const double w = Bounds.width();
    const double h = Bounds.height();
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QRectF(x, y + h * 0.4, w * 0.4, h * 0.6));
    path.addEllipse(QRectF(x + w * 0.2, y + h * 0.1, w * 0.4, h * 0.75));
    path.addEllipse(QRectF(x + w * 0.45, y, w * 0.35, h * 0.7));
    path.addEllipse(QRectF(x + w * 0.6, y + h * 0.35, w * 0.4, h * 0.65));
    path.addRect(QRectF(x + w * 0.2, y + h * 0.6, w * 0.6, h * 0.4));
    return path.simplified();
}

QPainterPath TShapePaths::Rounded(const QRectF& Bounds, double Fraction)
{
    const double r = std::min(Bounds.width(), Bounds.height()) * Fraction;
    QPainterPath path;
    path.addRoundedRect(Bounds, r, r);
    return path;
}

QPainterPath TShapePaths::Diamond(const QRectF& Bounds)
{
    QPainterPath path;
    path.moveTo(Bounds.center().x(), Bounds.top());
    path.lineTo(Bounds.right(), Bounds.center().y());
    path.lineTo(Bounds.center().x(), Bounds.bottom());
    path.lineTo(Bounds.left(), Bounds.center().y());
    path.closeSubpath();
    return path;
}

QPainterPath TShapePaths::Scalloped(const QRectF& Bounds, int Bumps, double Depth)
{
    const QPointF c = Bounds.center();
    const double rx = Bounds.width() / 2;
    const double ry = Bounds.height() / 2;
    QPainterPath path;
    const int steps = Bumps * 24;
    for (int i = 0; i <= steps; ++i) {
        const double a = 2 * std::numbers::pi * i / steps;
        // Rounded bumps: |sin| keeps every bump convex outwards.
        const double k = 1.0 - Depth + Depth * std::abs(std::sin(a * Bumps / 2.0));
        const QPointF p(c.x() + rx * k * std::cos(a), c.y() + ry * k * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}
