#include "PngFramePainter.h"

#include "MoldingPainter.h"
#include "MyGdiPlus.h"
#include "SeededRandom.h"
#include "ShapePaths.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>

namespace {

// Makes the opening transparent and draws a thin edge around it. The
// opening is cleared without smoothing: the edge covers its stepped border
// and smooths it, leaving no pixel outside the opening partly clear.
void Cut(QPainter& p, const QPainterPath& Opening, QColor Edge, double EdgeWidth)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillPath(Opening, Qt::transparent);
    p.restore();
    if (EdgeWidth > 0) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Edge, EdgeWidth));
        p.drawPath(Opening);
    }
}

// A mat with a bevelled opening: the bevel is the band between the opening
// and the opening grown by Bevel, lighter on the top and left.
void Mat(QPainter& p, const QRectF& Area, QColor Colour, const QPainterPath& Opening, double Bevel)
{
    p.fillRect(Area, Colour);
    QPainterPathStroker stroker;
    stroker.setWidth(Bevel * 2);
    const QPainterPath ring = stroker.createStroke(Opening).united(Opening).subtracted(Opening);
    QLinearGradient g(Opening.boundingRect().topLeft(), Opening.boundingRect().bottomRight());
    g.setColorAt(0, QColor(255, 255, 250));
    g.setColorAt(1, Colour.darker(125));
    p.fillPath(ring, g);
}

void Moulding(QPainter& p, const QRectF& r, TMoldingPainter::TStyle Style, int Band, int Period)
{
    p.drawImage(r.topLeft(),
                TMoldingPainter::Frame(Style, int(r.width()), int(r.height()), Band, Period));
}

void DrawDefault(QPainter& p, const QRectF& r)
{
    const QRectF inner = r.adjusted(56, 56, -56, -56);
    QPainterPath opening;
    opening.addRect(inner.adjusted(44, 44, -44, -44));
    Mat(p, inner, QColor(244, 238, 222), opening, 5);
    Moulding(p, r, TMoldingPainter::TStyle::Walnut, 56, 80);
    Cut(p, opening, QColor(150, 130, 100), 1);
}

void GildedOval(QPainter& p, const QRectF& r)
{
    const QRectF inner = r.adjusted(60, 60, -60, -60);
    QPainterPath opening;
    opening.addEllipse(inner.adjusted(40, 36, -40, -36));
    Mat(p, inner, QColor(120, 20, 35), opening, 6);
    Moulding(p, r, TMoldingPainter::TStyle::Gilded, 60, 64);
    Cut(p, opening, QColor(215, 175, 80), 3);
}

void Hearts(QPainter& p, const QRectF& r)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(255, 205, 220));
    g.setColorAt(1, QColor(245, 150, 180));
    p.fillRect(r, g);
    TSeededRandom random(7);
    for (int i = 0; i < 70; ++i) {
        const double size = random.Range(18, 46);
        const QRectF b(random.Range(-20, r.width()), random.Range(-20, r.height()), size,
                       size * 0.9);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(random.Between(200, 250), random.Between(40, 110),
                          random.Between(90, 140), random.Between(150, 230)));
        p.drawPath(TShapePaths::Heart(b));
    }
    const QPainterPath opening = TShapePaths::Heart(r.adjusted(150, 60, -150, -50));
    Cut(p, opening, QColor(255, 255, 255), 6);
}

void FilmStrip(QPainter& p, const QRectF& r)
{
    p.fillRect(r, QColor(22, 22, 24));
    QPainterPath holes;
    // Holes 26 wide, 44 apart, centred along the strip with at least 18
    // pixels to spare at either end.
    const int count = int((r.width() - 36 + 18) / 44);
    const double first = (r.width() - (count * 44 - 18)) / 2;
    for (double x = first; x + 26 <= r.width() - 18; x += 44) {
        holes.addRoundedRect(QRectF(x, 18, 26, 34), 5, 5);
        holes.addRoundedRect(QRectF(x, r.height() - 52, 26, 34), 5, 5);
    }
    // The sprocket holes show the light box behind the film, not the photo:
    // only the opening lets the photo through.
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(236, 236, 230));
    p.drawPath(holes);
    QPainterPath opening;
    opening.addRoundedRect(r.adjusted(40, 76, -40, -76), 8, 8);
    Cut(p, opening, QColor(80, 80, 80), 2);
    // Frame marks between the holes, drawn rather than written so that the
    // picture does not depend on the fonts installed.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 170, 40));
    for (double x = 60; x < r.width() - 40; x += 190) {
        QPainterPath mark;
        mark.moveTo(x, 58);
        mark.lineTo(x + 10, 64);
        mark.lineTo(x, 70);
        mark.closeSubpath();
        p.drawPath(mark);
        p.drawRect(QRectF(x + 16, 62, 24, 4));
    }
}

void Instant(QPainter& p, const QRectF& r)
{
    p.fillRect(r, QColor(250, 250, 246));
    QPainterPath opening;
    opening.addRect(r.adjusted(44, 40, -44, -150));
    // A faint shade inside the border, as on the real print.
    p.setPen(QPen(QColor(220, 220, 214), 6));
    p.drawRect(r.adjusted(3, 3, -3, -3));
    Cut(p, opening, QColor(200, 200, 195), 2);
    QPainterPath scribble;
    const double y = r.bottom() - 75;
    scribble.moveTo(r.center().x() - 150, y);
    for (int i = 0; i < 12; ++i) {
        const double x = r.center().x() - 150 + i * 25;
        scribble.cubicTo(x + 6, y - 22, x + 14, y + 14, x + 25, y - (i % 3) * 4);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 60, 140), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(scribble);
}

void StarryNight(QPainter& p, const QRectF& r)
{
    QRadialGradient g(r.center(), r.width() * 0.7);
    g.setColorAt(0, QColor(40, 60, 130));
    g.setColorAt(1, QColor(8, 12, 40));
    p.fillRect(r, g);
    TSeededRandom random(11);
    for (int i = 0; i < 90; ++i) {
        const QPointF c(random.Range(0, r.width()), random.Range(0, r.height()));
        const double size = random.Range(3, 16);
        QRadialGradient s(c, size);
        s.setColorAt(0, QColor(255, 245, 200));
        s.setColorAt(1, QColor(250, 200, 60));
        p.setPen(Qt::NoPen);
        p.setBrush(s);
        p.drawPath(TShapePaths::Star(c, size, 5, 0.45));
    }
    QPainterPath moon;
    moon.addEllipse(QPointF(r.right() - 70, 70), 44, 44);
    QPainterPath bite;
    bite.addEllipse(QPointF(r.right() - 52, 58), 40, 40);
    p.setBrush(QColor(255, 240, 180));
    p.drawPath(moon.subtracted(bite));
    Cut(p, TShapePaths::Rounded(r.adjusted(90, 80, -90, -80), 0.12), QColor(250, 210, 90), 4);
}

void FlowerGarden(QPainter& p, const QRectF& r)
{
    p.fillRect(r, QColor(235, 245, 225));
    TSeededRandom random(23);
    for (int i = 0; i < 160; ++i) {
        const QPointF base(random.Range(0, r.width()), random.Range(0, r.height()));
        const double angle = random.Range(0, 6.283);
        const double length = random.Range(30, 60);
        p.setPen(QPen(QColor(40, 110, 40), 1));
        p.setBrush(
            QColor(random.Between(50, 100), random.Between(130, 180), random.Between(50, 90)));
        p.drawPath(TShapePaths::Leaf(
            base, base + QPointF(std::cos(angle), std::sin(angle)) * length, length * 0.35));
    }
    const QColor petals[4] = {QColor(250, 120, 160), QColor(255, 255, 255), QColor(170, 120, 230),
                              QColor(255, 190, 60)};
    for (int i = 0; i < 45; ++i) {
        const QPointF c(random.Range(0, r.width()), random.Range(0, r.height()));
        const double size = random.Range(16, 34);
        p.setPen(QPen(QColor(0, 0, 0, 60), 1));
        p.setBrush(petals[i % 4]);
        p.drawPath(TShapePaths::Flower(c, size, 5 + i % 3, size * 0.6));
        p.setBrush(QColor(250, 210, 50));
        p.drawEllipse(c, size * 0.25, size * 0.25);
    }
    Cut(p, TShapePaths::Scalloped(r.adjusted(110, 90, -110, -90), 26, 0.05), QColor(255, 255, 255),
        5);
}

void WoodRounded(QPainter& p, const QRectF& r)
{
    // The rounded opening lies in a wooden panel inside the moulding, which
    // fills the corners that the rounding leaves.
    const QRectF inner = r.adjusted(80, 80, -80, -80);
    const QPainterPath opening = TShapePaths::Rounded(inner.adjusted(12, 12, -12, -12), 0.18);
    Mat(p, inner, QColor(112, 84, 56), opening, 4);
    Moulding(p, r, TMoldingPainter::TStyle::Rustic, 80, 64);
    Cut(p, opening, QColor(60, 45, 30), 3);
}

void Party(QPainter& p, const QRectF& r)
{
    p.fillRect(r, QColor(255, 250, 235));
    TSeededRandom random(31);
    const QColor colours[5] = {QColor(240, 60, 60), QColor(60, 160, 240), QColor(250, 210, 40),
                               QColor(110, 200, 80), QColor(200, 90, 220)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 260; ++i) {
        p.save();
        p.translate(random.Range(0, r.width()), random.Range(0, r.height()));
        p.rotate(random.Range(0, 180));
        p.setBrush(colours[i % 5]);
        p.drawRect(QRectF(-6, -3, 12, 6));
        p.restore();
    }
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner % 2 == 0 ? 20 : r.width() - 120;
        const double y = corner < 2 ? 10 : r.height() - 150;
        for (int i = 0; i < 2; ++i) {
            const QRectF body(x + i * 45, y + (i % 2) * 20, 60, 78);
            QRadialGradient g(body.center() - QPointF(10, 14), 50);
            g.setColorAt(0, colours[(corner + i) % 5].lighter(150));
            g.setColorAt(1, colours[(corner + i) % 5]);
            p.setBrush(g);
            p.drawPath(TShapePaths::Balloon(body));
        }
    }
    Cut(p, TShapePaths::Rounded(r.adjusted(130, 110, -130, -110), 0.06), colours[1], 5);
}

} // namespace

const std::vector<TPngFrameItem>& TPngFramePainter::Catalogue()
{
    static const std::vector<TPngFrameItem> items = {
        {"gilded-oval.png", GildedOval},   {"hearts.png", Hearts},
        {"film-strip.png", FilmStrip},     {"instant-photo.png", Instant},
        {"starry-night.png", StarryNight}, {"flower-garden.png", FlowerGarden},
        {"rustic-wood.png", WoodRounded},  {"party.png", Party},
    };
    return items;
}

QImage TPngFramePainter::Paint(const TPngFrameItem& Item)
{
    QImage image = NewBitmap(FrameWidth, FrameHeight, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        Item.Draw(p, QRectF(0, 0, FrameWidth, FrameHeight));
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage TPngFramePainter::PaintDefault()
{
    return Paint({QString(), DrawDefault});
}
