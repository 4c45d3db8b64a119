#include "ClipArtPainter.h"

#include "MyGdiPlus.h"
#include "ShapePaths.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace {

using TDraw = std::function<void(QPainter&, const QRectF&)>;

// Fills Path with a soft light-to-dark gradient and a darker outline.
void Glossy(QPainter& p, const QPainterPath& Path, QColor Colour, double Outline = 3)
{
    const QRectF b = Path.boundingRect();
    QRadialGradient g(b.x() + b.width() * 0.35, b.y() + b.height() * 0.3,
                      std::max(b.width(), b.height()) * 0.8);
    g.setColorAt(0, Colour.lighter(150));
    g.setColorAt(0.5, Colour);
    g.setColorAt(1, Colour.darker(140));
    p.setBrush(g);
    p.setPen(Outline > 0 ? QPen(Colour.darker(170), Outline) : QPen(Qt::NoPen));
    p.drawPath(Path);
}

// A white shine on the upper left of a rounded shape.
void Shine(QPainter& p, const QRectF& Bounds)
{
    QRectF s(Bounds.x() + Bounds.width() * 0.2, Bounds.y() + Bounds.height() * 0.12,
             Bounds.width() * 0.22, Bounds.height() * 0.14);
    QRadialGradient g(s.center(), s.width() / 2);
    g.setColorAt(0, QColor(255, 255, 255, 200));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(s);
}

QRectF Inset(const QRectF& r, double m)
{
    return r.adjusted(m, m, -m, -m);
}

TDraw HeartOf(QColor Colour)
{
    return [Colour](QPainter& p, const QRectF& r) {
        const QRectF b = Inset(r, 24);
        Glossy(p, TShapePaths::Heart(b), Colour, 4);
        Shine(p, b);
    };
}

void HeartOutline(QPainter& p, const QRectF& r)
{
    const QPainterPath heart = TShapePaths::Heart(Inset(r, 30));
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(255, 230, 140));
    g.setColorAt(0.5, QColor(212, 160, 40));
    g.setColorAt(1, QColor(150, 100, 20));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(g), 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(heart);
}

void TwoHearts(QPainter& p, const QRectF& r)
{
    p.save();
    p.translate(r.center());
    p.rotate(-14);
    Glossy(p, TShapePaths::Heart(QRectF(-110, -90, 130, 120)), QColor(230, 40, 70), 3);
    p.rotate(28);
    Glossy(p, TShapePaths::Heart(QRectF(-20, -40, 130, 120)), QColor(250, 120, 170), 3);
    p.restore();
}

void HeartWithArrow(QPainter& p, const QRectF& r)
{
    const QPointF a(r.left() + 20, r.bottom() - 40);
    const QPointF b(r.right() - 20, r.top() + 50);
    QPen shaft(QColor(120, 80, 40), 7, Qt::SolidLine, Qt::RoundCap);
    p.setPen(shaft);
    p.drawLine(a, (a + b) / 2);
    Glossy(p, TShapePaths::Heart(Inset(r, 44)), QColor(220, 30, 50), 4);
    p.setPen(shaft);
    p.drawLine((a + b) / 2, b);
    // Head and feathers.
    QPainterPath head;
    head.moveTo(b + QPointF(12, -12));
    head.lineTo(b + QPointF(-18, -4));
    head.lineTo(b + QPointF(-4, 18));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 170, 180));
    p.drawPath(head);
    p.setBrush(QColor(240, 240, 240));
    for (int i = 0; i < 3; ++i) {
        const QPointF f = a + QPointF(8 + i * 9, -8 - i * 9);
        QPainterPath feather;
        feather.moveTo(f);
        feather.lineTo(f + QPointF(-16, -4));
        feather.lineTo(f + QPointF(-10, 6));
        feather.closeSubpath();
        feather.moveTo(f);
        feather.lineTo(f + QPointF(4, 16));
        feather.lineTo(f + QPointF(-6, 10));
        feather.closeSubpath();
        p.drawPath(feather);
    }
}

void Rose(QPainter& p, const QRectF& r)
{
    const QPointF c = r.center() + QPointF(0, -20);
    p.setPen(QPen(QColor(40, 120, 40), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x(), r.bottom() - 10));
    Glossy(p,
           TShapePaths::Leaf(QPointF(c.x(), r.bottom() - 60), QPointF(c.x() - 60, r.bottom() - 100),
                             22),
           QColor(60, 150, 60), 2);
    Glossy(p,
           TShapePaths::Leaf(QPointF(c.x(), r.bottom() - 40), QPointF(c.x() + 60, r.bottom() - 70),
                             22),
           QColor(60, 150, 60), 2);
    for (int ring = 0; ring < 4; ++ring) {
        const double radius = 70 - ring * 16;
        const QColor colour = QColor(200, 20, 50).lighter(100 + ring * 12);
        // Each ring turned a little against the one below.
        p.save();
        p.translate(c);
        p.rotate(ring * 23);
        p.translate(-c);
        Glossy(p, TShapePaths::Flower(c, radius, 5 + ring, radius * 0.7), colour, 2);
        p.restore();
    }
    Glossy(p, TShapePaths::Scalloped(QRectF(c.x() - 14, c.y() - 14, 28, 28), 4, 0.2),
           QColor(150, 0, 30), 2);
}

void Ring(QPainter& p, const QRectF& r)
{
    const QRectF band(r.left() + 50, r.top() + 90, r.width() - 100, r.height() - 110);
    QLinearGradient g(band.topLeft(), band.bottomRight());
    g.setColorAt(0, QColor(255, 236, 160));
    g.setColorAt(0.4, QColor(218, 165, 32));
    g.setColorAt(1, QColor(140, 95, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(g), 18));
    p.drawEllipse(band);
    // The stone.
    const QPointF top(band.center().x(), band.top() - 6);
    QPainterPath stone;
    stone.moveTo(top + QPointF(-30, -30));
    stone.lineTo(top + QPointF(30, -30));
    stone.lineTo(top + QPointF(42, -14));
    stone.lineTo(top + QPointF(0, 24));
    stone.lineTo(top + QPointF(-42, -14));
    stone.closeSubpath();
    QLinearGradient s(top + QPointF(-40, -30), top + QPointF(40, 20));
    s.setColorAt(0, QColor(230, 250, 255));
    s.setColorAt(0.5, QColor(150, 210, 240));
    s.setColorAt(1, QColor(90, 150, 200));
    p.setBrush(s);
    p.setPen(QPen(QColor(80, 120, 160), 2));
    p.drawPath(stone);
    p.drawLine(top + QPointF(-42, -14), top + QPointF(42, -14));
    p.drawLine(top + QPointF(-10, -30), top + QPointF(0, 24));
    p.drawLine(top + QPointF(10, -30), top + QPointF(0, 24));
}

void LoveLetter(QPainter& p, const QRectF& r)
{
    const QRectF env(r.left() + 20, r.top() + 60, r.width() - 40, r.height() - 110);
    p.setBrush(QColor(250, 244, 230));
    p.setPen(QPen(QColor(170, 150, 120), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawRect(env);
    QPainterPath flap;
    flap.moveTo(env.topLeft());
    flap.lineTo(env.center().x(), env.center().y() + 10);
    flap.lineTo(env.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    p.drawLine(env.bottomLeft(), QPointF(env.center().x() - 20, env.center().y()));
    p.drawLine(env.bottomRight(), QPointF(env.center().x() + 20, env.center().y()));
    Glossy(p, TShapePaths::Heart(QRectF(env.center().x() - 30, env.center().y() - 18, 60, 54)),
           QColor(220, 30, 60), 2);
}

TDraw BalloonOf(QColor Colour, double Tilt)
{
    return [Colour, Tilt](QPainter& p, const QRectF& r) {
        p.save();
        p.translate(r.center());
        p.rotate(Tilt);
        p.translate(-r.center());
        const QRectF body(r.center().x() - 62, r.top() + 14, 124, 160);
        QPainterPath string;
        string.moveTo(body.center().x(), body.bottom());
        string.cubicTo(body.center().x() - 20, body.bottom() + 25, body.center().x() + 20,
                       body.bottom() + 45, body.center().x() - 4, r.bottom() - 6);
        p.setPen(QPen(QColor(90, 90, 90), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(string);
        Glossy(p, TShapePaths::Balloon(body), Colour, 3);
        Shine(p, body);
        p.restore();
    };
}

void BalloonBunch(QPainter& p, const QRectF& r)
{
    const QPointF knot(r.center().x(), r.bottom() - 40);
    const QColor colours[3] = {QColor(230, 50, 50), QColor(60, 140, 230), QColor(250, 200, 40)};
    const QPointF centres[3] = {QPointF(r.left() + 70, r.top() + 76),
                                QPointF(r.right() - 70, r.top() + 76),
                                QPointF(r.center().x(), r.top() + 62)};
    p.setPen(QPen(QColor(90, 90, 90), 2));
    for (const QPointF& c : centres)
        p.drawLine(QPointF(c.x(), c.y() + 60), knot);
    p.drawLine(knot, QPointF(knot.x(), r.bottom() - 4));
    for (int i = 0; i < 3; ++i) {
        const QRectF body(centres[i].x() - 45, centres[i].y() - 55, 90, 118);
        Glossy(p, TShapePaths::Balloon(body), colours[i], 2.5);
        Shine(p, body);
    }
}

TDraw StarOf(QColor Colour, int Points, double Inner)
{
    return [=](QPainter& p, const QRectF& r) {
        const QPainterPath star = TShapePaths::Star(r.center() + QPointF(0, 8), 116, Points, Inner);
        Glossy(p, star, Colour, 4);
    };
}

void Bow(QPainter& p, const QRectF& r)
{
    Glossy(p, TShapePaths::Bow(r.center() + QPointF(0, -30), 220), QColor(210, 20, 40), 3);
}

void GiftBox(QPainter& p, const QRectF& r)
{
    const QRectF box(r.left() + 40, r.top() + 100, r.width() - 80, r.height() - 110);
    const QRectF lid(r.left() + 30, r.top() + 76, r.width() - 60, 34);
    Glossy(p, TShapePaths::Rounded(box, 0.04), QColor(60, 120, 210), 3);
    Glossy(p, TShapePaths::Rounded(lid, 0.1), QColor(70, 135, 225), 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 40));
    p.drawRect(QRectF(r.center().x() - 12, lid.top(), 24, box.bottom() - lid.top()));
    Glossy(p, TShapePaths::Bow(QPointF(r.center().x(), lid.top() - 8), 130), QColor(240, 200, 40),
           2);
}

void PartyHat(QPainter& p, const QRectF& r)
{
    QPainterPath cone;
    cone.moveTo(r.center().x(), r.top() + 30);
    cone.lineTo(r.right() - 50, r.bottom() - 24);
    cone.lineTo(r.left() + 50, r.bottom() - 24);
    cone.closeSubpath();
    Glossy(p, cone, QColor(150, 60, 200), 3);
    p.save();
    p.setClipPath(cone);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 220, 60));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(r.left() + 70 + i * 30, r.top() + 90 + (i % 2) * 60 + i * 14), 10,
                      10);
    p.restore();
    Glossy(p, TShapePaths::Star(QPointF(r.center().x(), r.top() + 30), 24, 5, 0.5),
           QColor(250, 200, 30), 2);
    QPainterPath brim;
    brim.addEllipse(QRectF(r.left() + 40, r.bottom() - 40, r.width() - 80, 30));
    Glossy(p, brim, QColor(250, 90, 150), 2);
}

void Confetti(QPainter& p, const QRectF& r)
{
    const QColor colours[5] = {QColor(240, 60, 60), QColor(60, 170, 240), QColor(250, 210, 40),
                               QColor(120, 200, 80), QColor(200, 90, 220)};
    for (int i = 0; i < 14; ++i) {
        const double a = i * 2.39996; // golden angle spreads them evenly
        const double d = 20 + 6 * i;
        const QPointF c = r.center() + QPointF(d * std::cos(a), d * std::sin(a));
        const double size = 12 + (i % 4) * 5;
        if (i % 3 == 0)
            Glossy(p, TShapePaths::Star(c, size, 5, 0.45), colours[i % 5], 1.5);
        else if (i % 3 == 1)
            Glossy(p, TShapePaths::Heart(QRectF(c.x() - size, c.y() - size, size * 2, size * 1.8)),
                   colours[i % 5], 1.5);
        else
            Glossy(p, TShapePaths::Diamond(QRectF(c.x() - size, c.y() - size, size * 2, size * 2)),
                   colours[i % 5], 1.5);
    }
}

TDraw FlowerOf(QColor PetalColour, QColor Middle, int Petals, double WidthRatio)
{
    return [=](QPainter& p, const QRectF& r) {
        const QPointF c = r.center();
        Glossy(p, TShapePaths::Flower(c, 112, Petals, 112 * WidthRatio), PetalColour, 2.5);
        QPainterPath disc;
        disc.addEllipse(c, 30, 30);
        Glossy(p, disc, Middle, 2);
    };
}

void Tulip(QPainter& p, const QRectF& r)
{
    const QPointF base(r.center().x(), r.bottom() - 8);
    p.setPen(QPen(QColor(50, 130, 50), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, QPointF(base.x(), r.top() + 120));
    Glossy(p, TShapePaths::Leaf(base, QPointF(r.left() + 50, r.top() + 120), 30),
           QColor(70, 160, 70), 2);
    Glossy(p, TShapePaths::Leaf(base, QPointF(r.right() - 60, r.top() + 140), 26),
           QColor(70, 160, 70), 2);
    const QPointF cup(r.center().x(), r.top() + 130);
    Glossy(p, TShapePaths::Petal(cup, 110, 40, -22), QColor(235, 70, 90), 2.5);
    Glossy(p, TShapePaths::Petal(cup, 110, 40, 22), QColor(235, 70, 90), 2.5);
    Glossy(p, TShapePaths::Petal(cup, 118, 46, 0), QColor(245, 95, 110), 2.5);
}

void Sunflower(QPainter& p, const QRectF& r)
{
    const QPointF c = r.center();
    Glossy(p, TShapePaths::Flower(c, 118, 20, 26), QColor(250, 195, 20), 2);
    QPainterPath disc;
    disc.addEllipse(c, 52, 52);
    Glossy(p, disc, QColor(110, 60, 20), 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 35, 10));
    for (int i = 0; i < 60; ++i) {
        const double a = i * 2.39996;
        const double d = 6.4 * std::sqrt(double(i));
        p.drawEllipse(c + QPointF(d * std::cos(a), d * std::sin(a)), 2.6, 2.6);
    }
}

TDraw LeafOf(QColor Colour, double Angle)
{
    return [=](QPainter& p, const QRectF& r) {
        p.save();
        p.translate(r.center());
        p.rotate(Angle);
        const QPointF base(0, 110);
        const QPointF tip(0, -115);
        Glossy(p, TShapePaths::Leaf(base, tip, 80), Colour, 3);
        p.setPen(QPen(Colour.darker(160), 3));
        p.drawLine(base, tip * 0.9);
        for (int i = 1; i < 6; ++i) {
            const double y = 100 - i * 36;
            p.drawLine(QPointF(0, y), QPointF(-44 + i * 4, y - 30));
            p.drawLine(QPointF(0, y), QPointF(44 - i * 4, y - 30));
        }
        p.restore();
    };
}

void Sun(QPainter& p, const QRectF& r)
{
    const QPointF c = r.center();
    Glossy(p, TShapePaths::Star(c, 124, 16, 0.72), QColor(255, 170, 20), 2);
    QPainterPath disc;
    disc.addEllipse(c, 74, 74);
    Glossy(p, disc, QColor(255, 215, 40), 3);
}

void CloudArt(QPainter& p, const QRectF& r)
{
    const QPainterPath cloud =
        TShapePaths::Cloud(QRectF(r.left() + 12, r.top() + 60, r.width() - 24, 140));
    QLinearGradient g(0, r.top() + 60, 0, r.top() + 200);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(200, 215, 235));
    p.setBrush(g);
    p.setPen(QPen(QColor(150, 170, 200), 4));
    p.drawPath(cloud);
}

void Butterfly(QPainter& p, const QRectF& r)
{
    const QPointF c = r.center();
    const QColor wing(250, 140, 30);
    for (int side : {-1, 1}) {
        QPainterPath upper;
        upper.moveTo(c);
        upper.cubicTo(c + QPointF(side * 40, -120), c + QPointF(side * 125, -110),
                      c + QPointF(side * 110, -20));
        upper.cubicTo(c + QPointF(side * 100, 10), c + QPointF(side * 40, 10), c);
        QPainterPath lower;
        lower.moveTo(c);
        lower.cubicTo(c + QPointF(side * 90, 10), c + QPointF(side * 95, 100),
                      c + QPointF(side * 50, 100));
        lower.cubicTo(c + QPointF(side * 20, 100), c + QPointF(side * 8, 50), c);
        Glossy(p, upper, wing, 3);
        Glossy(p, lower, wing.darker(115), 3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 250, 230));
        p.drawEllipse(c + QPointF(side * 78, -50), 13, 13);
        p.drawEllipse(c + QPointF(side * 55, 62), 9, 9);
    }
    QPainterPath body;
    body.addEllipse(QRectF(c.x() - 9, c.y() - 60, 18, 130));
    Glossy(p, body, QColor(60, 40, 30), 1);
    p.setPen(QPen(QColor(60, 40, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawLine(c + QPointF(-3, -58), c + QPointF(-30, -105));
    p.drawLine(c + QPointF(3, -58), c + QPointF(30, -105));
}

void Rainbow(QPainter& p, const QRectF& r)
{
    const QColor bands[6] = {QColor(230, 40, 40), QColor(250, 150, 30), QColor(250, 230, 50),
                             QColor(70, 190, 70), QColor(50, 120, 230), QColor(130, 70, 200)};
    p.setBrush(Qt::NoBrush);
    const QPointF c(r.center().x(), r.bottom() - 50);
    for (int i = 0; i < 6; ++i) {
        const double radius = 112 - i * 14;
        p.setPen(QPen(bands[i], 14, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(QRectF(c.x() - radius, c.y() - radius, radius * 2, radius * 2), 0, 180 * 16);
    }
    const QRectF left(r.left() + 4, r.bottom() - 90, 100, 60);
    const QRectF right(r.right() - 104, r.bottom() - 90, 100, 60);
    for (const QRectF& b : {left, right}) {
        p.setBrush(QColor(255, 255, 255));
        p.setPen(QPen(QColor(160, 180, 210), 3));
        p.drawPath(TShapePaths::Cloud(b));
    }
}

// Corner ornaments sit in the top left corner; the canvas mirrors or turns
// them to whichever corner the user needs.
void SwirlCorner(QPainter& p, const QRectF& r)
{
    QPainterPath s;
    s.moveTo(r.left() + 10, r.bottom() - 20);
    s.cubicTo(r.left() + 10, r.top() + 60, r.left() + 60, r.top() + 10, r.right() - 20,
              r.top() + 10);
    s.moveTo(r.left() + 10, r.top() + 150);
    s.cubicTo(r.left() + 40, r.top() + 100, r.left() + 110, r.top() + 110, r.left() + 90,
              r.top() + 150);
    s.cubicTo(r.left() + 75, r.top() + 175, r.left() + 50, r.top() + 150, r.left() + 70,
              r.top() + 138);
    s.moveTo(r.left() + 150, r.top() + 10);
    s.cubicTo(r.left() + 100, r.top() + 40, r.left() + 110, r.top() + 110, r.left() + 150,
              r.top() + 90);
    s.cubicTo(r.left() + 175, r.top() + 75, r.left() + 150, r.top() + 50, r.left() + 138,
              r.top() + 70);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 80, 30), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(s);
    p.setPen(QPen(QColor(220, 170, 70), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(s);
}

void LaceCorner(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(200, 200, 210), 2));
    p.setBrush(QColor(255, 255, 255, 235));
    for (int i = 0; i < 6; ++i) {
        const double radius = 200 - i * 28;
        QPainterPath arc;
        arc.moveTo(r.topLeft());
        arc.arcTo(QRectF(r.left() - radius, r.top() - radius, radius * 2, radius * 2), 0, -90);
        arc.closeSubpath();
        if (i == 0) {
            p.drawPath(TShapePaths::Scalloped(QRectF(r.left() - radius - 12, r.top() - radius - 12,
                                                     radius * 2 + 24, radius * 2 + 24),
                                              28, 0.06));
        }
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
    }
    p.setBrush(QColor(225, 225, 235));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        const double a = std::numbers::pi / 2 * (i + 0.5) / 9;
        p.drawEllipse(r.topLeft() + QPointF(158 * std::cos(a), 158 * std::sin(a)), 6, 6);
        p.drawEllipse(r.topLeft() + QPointF(102 * std::cos(a), 102 * std::sin(a)), 4, 4);
    }
}

void PhotoCorner(QPainter& p, const QRectF& r)
{
    QPainterPath t;
    t.moveTo(r.topLeft() + QPointF(6, 6));
    t.lineTo(r.topLeft() + QPointF(240, 6));
    t.lineTo(r.topLeft() + QPointF(6, 240));
    t.closeSubpath();
    Glossy(p, t, QColor(40, 40, 40), 2);
    p.setPen(QPen(QColor(200, 200, 200, 160), 2));
    p.drawLine(r.topLeft() + QPointF(30, 186), r.topLeft() + QPointF(186, 30));
}

void FloralCorner(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(60, 130, 60), 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath vine;
    vine.moveTo(r.left() + 20, r.bottom() - 10);
    vine.quadTo(r.left() + 20, r.top() + 20, r.right() - 10, r.top() + 20);
    p.drawPath(vine);
    for (int i = 1; i < 6; ++i) {
        const QPointF at = vine.pointAtPercent(i / 6.0);
        Glossy(p, TShapePaths::Leaf(at, at + QPointF(26 + i * 2, 26 - i * 6), 12),
               QColor(80, 160, 70), 1.5);
    }
    const QPointF bloom = r.topLeft() + QPointF(48, 48);
    Glossy(p, TShapePaths::Flower(bloom, 46, 6, 30), QColor(250, 130, 170), 2);
    QPainterPath disc;
    disc.addEllipse(bloom, 12, 12);
    Glossy(p, disc, QColor(250, 210, 60), 1.5);
    Glossy(p, TShapePaths::Flower(vine.pointAtPercent(0.8), 24, 5, 16), QColor(170, 120, 230), 1.5);
    Glossy(p, TShapePaths::Flower(vine.pointAtPercent(0.2), 24, 5, 16), QColor(170, 120, 230), 1.5);
}

void HeartCorner(QPainter& p, const QRectF& r)
{
    for (int i = 0; i < 5; ++i) {
        const double size = 70 - i * 10;
        Glossy(p, TShapePaths::Heart(QRectF(r.left() + 8 + i * 46, r.top() + 8, size, size * 0.9)),
               QColor(230, 60, 90), 2);
        if (i > 0)
            Glossy(p,
                   TShapePaths::Heart(QRectF(r.left() + 8, r.top() + 8 + i * 46, size, size * 0.9)),
                   QColor(230, 60, 90), 2);
    }
}

void StarCorner(QPainter& p, const QRectF& r)
{
    Glossy(p, TShapePaths::Star(r.topLeft() + QPointF(60, 60), 56, 5, 0.45), QColor(250, 200, 30),
           3);
    for (int i = 1; i < 5; ++i) {
        const double size = 30 - i * 4;
        Glossy(p, TShapePaths::Star(r.topLeft() + QPointF(60 + i * 44, 22), size, 5, 0.45),
               QColor(250, 200, 30), 2);
        Glossy(p, TShapePaths::Star(r.topLeft() + QPointF(22, 60 + i * 44), size, 5, 0.45),
               QColor(250, 200, 30), 2);
    }
}

void RibbonCorner(QPainter& p, const QRectF& r)
{
    QPainterPath band;
    band.moveTo(r.left(), r.top() + 110);
    band.lineTo(r.left() + 110, r.top());
    band.lineTo(r.left() + 170, r.top());
    band.lineTo(r.left(), r.top() + 170);
    band.closeSubpath();
    Glossy(p, band, QColor(200, 30, 50), 0);
    p.setPen(QPen(QColor(250, 220, 120), 3, Qt::DashLine));
    p.drawLine(QPointF(r.left(), r.top() + 122), QPointF(r.left() + 122, r.top()));
    p.drawLine(QPointF(r.left(), r.top() + 158), QPointF(r.left() + 158, r.top()));
    Glossy(p, TShapePaths::Bow(r.topLeft() + QPointF(70, 70), 110), QColor(220, 40, 60), 2);
}

void DotCorner(QPainter& p, const QRectF& r)
{
    p.setPen(Qt::NoPen);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x + y < 8; ++x) {
            const double radius = 14 - (x + y) * 1.5;
            p.setBrush(QColor(40 + x * 25, 110 + y * 15, 200 - (x + y) * 10));
            p.drawEllipse(r.topLeft() + QPointF(18 + x * 32, 18 + y * 32), radius, radius);
        }
    }
}

void GoldCorner(QPainter& p, const QRectF& r)
{
    QPainterPath l;
    l.moveTo(r.left() + 8, r.bottom() - 8);
    l.lineTo(r.left() + 8, r.top() + 8);
    l.lineTo(r.right() - 8, r.top() + 8);
    l.moveTo(r.left() + 30, r.bottom() - 40);
    l.lineTo(r.left() + 30, r.top() + 30);
    l.lineTo(r.right() - 40, r.top() + 30);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(255, 240, 170));
    g.setColorAt(0.5, QColor(210, 160, 40));
    g.setColorAt(1, QColor(150, 100, 20));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(g), 8, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(l);
    Glossy(p, TShapePaths::Diamond(QRectF(r.left() + 40, r.top() + 40, 50, 50)),
           QColor(210, 160, 40), 2);
}

} // namespace

const std::vector<TClipArtItem>& TClipArtPainter::Catalogue()
{
    static const std::vector<TClipArtItem> items = {
        {"Love", "red-heart.png", HeartOf(QColor(220, 30, 50))},
        {"Love", "pink-heart.png", HeartOf(QColor(245, 120, 170))},
        {"Love", "purple-heart.png", HeartOf(QColor(150, 70, 200))},
        {"Love", "golden-heart.png", HeartOutline},
        {"Love", "two-hearts.png", TwoHearts},
        {"Love", "heart-and-arrow.png", HeartWithArrow},
        {"Love", "rose.png", Rose},
        {"Love", "ring.png", Ring},
        {"Love", "love-letter.png", LoveLetter},
        {"Party", "red-balloon.png", BalloonOf(QColor(225, 40, 40), -6)},
        {"Party", "blue-balloon.png", BalloonOf(QColor(50, 120, 225), 5)},
        {"Party", "green-balloon.png", BalloonOf(QColor(60, 180, 80), 0)},
        {"Party", "balloons.png", BalloonBunch},
        {"Party", "gold-star.png", StarOf(QColor(250, 200, 30), 5, 0.45)},
        {"Party", "star-burst.png", StarOf(QColor(250, 120, 40), 12, 0.6)},
        {"Party", "ribbon-bow.png", Bow},
        {"Party", "gift.png", GiftBox},
        {"Party", "party-hat.png", PartyHat},
        {"Party", "confetti.png", Confetti},
        {"Nature", "daisy.png", FlowerOf(QColor(255, 255, 255), QColor(250, 200, 30), 14, 0.22)},
        {"Nature", "blossom.png", FlowerOf(QColor(250, 170, 200), QColor(250, 230, 120), 5, 0.75)},
        {"Nature", "violet.png", FlowerOf(QColor(140, 90, 210), QColor(255, 240, 120), 6, 0.6)},
        {"Nature", "tulip.png", Tulip},
        {"Nature", "sunflower.png", Sunflower},
        {"Nature", "green-leaf.png", LeafOf(QColor(70, 160, 60), 20)},
        {"Nature", "autumn-leaf.png", LeafOf(QColor(220, 110, 30), -30)},
        {"Nature", "sun.png", Sun},
        {"Nature", "cloud.png", CloudArt},
        {"Nature", "butterfly.png", Butterfly},
        {"Nature", "rainbow.png", Rainbow},
        {"Corners", "swirl-corner.png", SwirlCorner},
        {"Corners", "lace-corner.png", LaceCorner},
        {"Corners", "photo-corner.png", PhotoCorner},
        {"Corners", "floral-corner.png", FloralCorner},
        {"Corners", "heart-corner.png", HeartCorner},
        {"Corners", "star-corner.png", StarCorner},
        {"Corners", "ribbon-corner.png", RibbonCorner},
        {"Corners", "dot-corner.png", DotCorner},
        {"Corners", "gold-corner.png", GoldCorner},
    };
    return items;
}

QImage TClipArtPainter::Paint(const TClipArtItem& Item)
{
    QImage image = NewBitmap(PictureSize, PictureSize, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        Item.Draw(p, QRectF(0, 0, PictureSize, PictureSize));
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}
