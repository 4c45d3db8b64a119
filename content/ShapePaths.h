#pragma once

// The outlines the content generator draws with: hearts, stars, flowers,
// balloons, bows and the like, each fitted into a given rectangle.

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class TShapePaths
{
public:
    // A heart filling Bounds, point down.
    static QPainterPath Heart(const QRectF& Bounds);
    // A star of Points points around Centre; Inner is the ratio of the inner
    // to the outer radius. The first point looks straight up.
    static QPainterPath Star(const QPointF& Centre, double Radius, int Points, double Inner);
    // One petal from Centre outwards at Angle (degrees, 0 = up, clockwise).
    static QPainterPath Petal(const QPointF& Centre, double Length, double Width, double Angle);
    // A flower of Petals petals (without its centre disc).
    static QPainterPath Flower(const QPointF& Centre, double Radius, int Petals, double PetalWidth);
    // A balloon body with its knot, filling Bounds.
    static QPainterPath Balloon(const QRectF& Bounds);
    // A leaf from Base to Tip, Width wide at the middle.
    static QPainterPath Leaf(const QPointF& Base, const QPointF& Tip, double Width);
    // A bow of two loops around Centre, Size wide.
    static QPainterPath Bow(const QPointF& Centre, double Size);
    // A soft cloud filling Bounds.
    static QPainterPath Cloud(const QRectF& Bounds);
    // A rounded rectangle with the corner radius a fraction of the shorter side.
    static QPainterPath Rounded(const QRectF& Bounds, double Fraction);
    // A diamond touching the middles of Bounds' sides.
    static QPainterPath Diamond(const QRectF& Bounds);
    // A scalloped oval: an ellipse with Bumps bumps around it.
    static QPainterPath Scalloped(const QRectF& Bounds, int Bumps, double Depth);
};
