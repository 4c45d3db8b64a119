#include "OrnateTilePainter.h"

#include "MoldingPainter.h"
#include "MyGdiPlus.h"
#include "ShapePaths.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr double S = TOrnateTilePainter::TileSize;

// A moulding filling the tile, its pattern repeating once across it.
QImage Molded(TMoldingPainter::TStyle Style, double Noise)
{
    QImage image = NewBitmap(int(S), int(S), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = TMoldingPainter::Texel(Style, (y + 0.5) / S, (x + 0.5) / S, 1.0, Noise);
    }
    return image;
}

// Outer and inner border lines common to the painted tiles.
void Borders(QPainter& p, QColor Colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Colour);
    p.drawRect(QRectF(0, 0, S, S * 0.08));
    p.drawRect(QRectF(0, S * 0.92, S, S * 0.08));
}

void GreekKey(QPainter& p)
{
    p.fillRect(QRectF(0, 0, S, S), QColor(245, 235, 210));
    Borders(p, QColor(120, 40, 30));
    // One meander unit per tile on a 12 x 12 grid.
    const double u = S / 12;
    QPainterPath key;
    key.moveTo(0, 9 * u);
    key.lineTo(9 * u, 9 * u);
    key.lineTo(9 * u, 3 * u);
    key.lineTo(3 * u, 3 * u);
    key.lineTo(3 * u, 6.5 * u);
    key.lineTo(6 * u, 6.5 * u);
    key.lineTo(6 * u, 5.5 * u);
    key.moveTo(9 * u, 9 * u);
    key.lineTo(12 * u, 9 * u);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 40, 30), u * 1.1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(key);
}

void Ivy(QPainter& p)
{
    p.fillRect(QRectF(0, 0, S, S), QColor(250, 246, 232));
    Borders(p, QColor(50, 100, 50));
    QPainterPath vine;
    vine.moveTo(0, S * 0.5);
    vine.cubicTo(S * 0.33, S * 0.25, S * 0.66, S * 0.75, S, S * 0.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(70, 110, 50), S * 0.04));
    p.drawPath(vine);
    const QColor leaf(70, 150, 60);
    p.setPen(QPen(leaf.darker(150), 1.5));
    p.setBrush(leaf);
    p.drawPath(
        TShapePaths::Leaf(QPointF(S * 0.25, S * 0.38), QPointF(S * 0.1, S * 0.14), S * 0.09));
    p.drawPath(TShapePaths::Leaf(QPointF(S * 0.5, S * 0.5), QPointF(S * 0.62, S * 0.84), S * 0.09));
    p.drawPath(TShapePaths::Leaf(QPointF(S * 0.75, S * 0.62), QPointF(S * 0.9, S * 0.3), S * 0.09));
    p.setBrush(QColor(120, 60, 140));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(S * 0.4, S * 0.3), S * 0.05, S * 0.05);
    p.drawEllipse(QPointF(S * 0.47, S * 0.24), S * 0.04, S * 0.04);
}

void Hearts(QPainter& p)
{
    p.fillRect(QRectF(0, 0, S, S), QColor(255, 240, 245));
    Borders(p, QColor(220, 90, 130));
    QRadialGradient g(S * 0.4, S * 0.35, S * 0.5);
    g.setColorAt(0, QColor(255, 150, 180));
    g.setColorAt(1, QColor(210, 40, 80));
    p.setBrush(g);
    p.setPen(QPen(QColor(160, 30, 60), 1.5));
    p.drawPath(TShapePaths::Heart(QRectF(S * 0.2, S * 0.22, S * 0.6, S * 0.56)));
    p.setBrush(QColor(220, 90, 130));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, S * 0.5), S * 0.05, S * 0.05);
    p.drawEllipse(QPointF(S, S * 0.5), S * 0.05, S * 0.05);
}

void Checker(QPainter& p)
{
    p.fillRect(QRectF(0, 0, S, S), QColor(30, 30, 30));
    const double c = S / 4;
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 4; ++col) {
            if ((row + col) % 2 == 0)
                p.fillRect(QRectF(col * c, S * 0.25 + row * c, c, c), QColor(240, 240, 236));
        }
    }
    p.fillRect(QRectF(0, S * 0.1, S, S * 0.06), QColor(200, 160, 60));
    p.fillRect(QRectF(0, S * 0.84, S, S * 0.06), QColor(200, 160, 60));
}

void Rope(QPainter& p)
{
    p.fillRect(QRectF(0, 0, S, S), QColor(90, 60, 35));
    // Three twisted strands per tile, each a slanted lens, with its copies
    // one tile to either side so the twist runs on across the seam.
    for (int i = -1; i < 4; ++i) {
        const double x = i * S / 3;
        QPainterPath strand;
        strand.moveTo(x - S * 0.12, S * 0.88);
        strand.cubicTo(x - S * 0.05, S * 0.4, x + S * 0.2, S * 0.2, x + S * 0.45, S * 0.12);
        strand.cubicTo(x + S * 0.4, S * 0.55, x + S * 0.15, S * 0.8, x - S * 0.12, S * 0.88);
        QLinearGradient g(x, S * 0.8, x + S * 0.3, S * 0.2);
        g.setColorAt(0, QColor(150, 110, 60));
        g.setColorAt(0.5, QColor(235, 205, 150));
        g.setColorAt(1, QColor(150, 110, 60));
        p.setBrush(g);
        p.setPen(QPen(QColor(80, 50, 25), 1.5));
        p.drawPath(strand);
    }
}

void Pearls(QPainter& p)
{
    QLinearGradient band(0, 0, 0, S);
    band.setColorAt(0, QColor(40, 60, 120));
    band.setColorAt(0.5, QColor(70, 100, 170));
    band.setColorAt(1, QColor(30, 45, 95));
    p.fillRect(QRectF(0, 0, S, S), band);
    for (int i = 0; i < 2; ++i) {
        const QPointF c(S * (0.25 + 0.5 * i), S * 0.5);
        QRadialGradient g(c + QPointF(-S * 0.06, -S * 0.06), S * 0.22);
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(0.6, QColor(235, 228, 215));
        g.setColorAt(1, QColor(170, 160, 150));
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, S * 0.2, S * 0.2);
    }
    p.fillRect(QRectF(0, 0, S, S * 0.06), QColor(220, 190, 110));
    p.fillRect(QRectF(0, S * 0.94, S, S * 0.06), QColor(220, 190, 110));
}

} // namespace

QImage TOrnateTilePainter::Paint(TDesign Design)
{
    using D = TDesign;
    switch (Design) {
    case D::GoldBeads:
        return Molded(TMoldingPainter::TStyle::Gilded, 0.2);
    case D::GoldScroll:
        return Molded(TMoldingPainter::TStyle::Baroque, 0.9);
    default:
        break;
    }
    QImage image = NewBitmap(TileSize, TileSize, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(QRectF(0, 0, S, S));
        switch (Design) {
        case D::GreekKey:
            GreekKey(p);
            break;
        case D::Ivy:
            Ivy(p);
            break;
        case D::Hearts:
            Hearts(p);
            break;
        case D::Checker:
            Checker(p);
            break;
        case D::Rope:
            Rope(p);
            break;
        case D::Pearls:
            Pearls(p);
            break;
        default:
            break;
        }
    }
    return image.convertToFormat(QImage::Format_RGB32);
}
