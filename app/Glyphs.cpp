#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
constexpr int kSize = 32;

QPen Outline(const QColor& color, double width = 1.5)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawOpen(QPainter& g)
{
    g.setPen(Outline(QColor(150, 110, 20)));
    g.setBrush(QColor(240, 200, 90));
    g.drawRect(QRectF(3, 8, 22, 18));
    g.drawRect(QRectF(3, 5, 9, 4));
    g.setBrush(QColor(255, 225, 130));
    QPolygonF lid;
    lid << QPointF(7, 13) << QPointF(29, 13) << QPointF(25, 26) << QPointF(3, 26);
    g.drawPolygon(lid);
}

void DrawSave(QPainter& g)
{
    g.setPen(Outline(QColor(20, 50, 110)));
    g.setBrush(QColor(60, 110, 200));
    g.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    g.setBrush(Qt::white);
    g.drawRect(QRectF(8, 4, 16, 9));
    g.setBrush(QColor(200, 200, 210));
    g.drawRect(QRectF(9, 18, 14, 10));
    g.setBrush(QColor(20, 50, 110));
    g.drawRect(QRectF(19, 6, 3, 5));
}

void DrawPrint(QPainter& g)
{
    g.setPen(Outline(QColor(60, 60, 60)));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(9, 3, 14, 10));
    g.setBrush(QColor(170, 170, 175));
    g.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    g.setBrush(Qt::white);
    g.drawRect(QRectF(9, 19, 14, 10));
    g.setPen(Outline(QColor(120, 120, 120), 1));
    g.drawLine(QPointF(11, 23), QPointF(21, 23));
    g.drawLine(QPointF(11, 26), QPointF(19, 26));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(60, 200, 60));
    g.drawEllipse(QRectF(24, 14, 3, 3));
}

void DrawArrow(QPainter& g, bool forward)
{
    if (!forward) {
        g.translate(kSize, 0);
        g.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(6, 24);
    arc.cubicTo(6, 10, 18, 8, 22, 14);
    g.setPen(QPen(QColor(30, 120, 40), 3.5, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    g.drawPath(arc);
    g.setPen(Outline(QColor(30, 120, 40)));
    g.setBrush(QColor(60, 170, 70));
    QPolygonF head;
    head << QPointF(27, 8) << QPointF(27, 20) << QPointF(16, 19);
    g.drawPolygon(head);
}

void DrawDelete(QPainter& g)
{
    g.setPen(QPen(QColor(200, 30, 30), 5, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(8, 8), QPointF(24, 24));
    g.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void DrawEmail(QPainter& g)
{
    g.setPen(Outline(QColor(90, 80, 40)));
    g.setBrush(QColor(250, 240, 200));
    g.drawRect(QRectF(3, 8, 26, 17));
    g.setBrush(Qt::NoBrush);
    QPolygonF flap;
    flap << QPointF(3, 8) << QPointF(16, 18) << QPointF(29, 8);
    g.drawPolyline(flap);
}

void DrawWallpaper(QPainter& g)
{
    g.setPen(Outline(QColor(50, 50, 60)));
    g.setBrush(QColor(60, 60, 70));
    g.drawRoundedRect(QRectF(3, 4, 26, 19), 2, 2);
    g.setPen(Qt::NoPen);
    QLinearGradient sky(0, 6, 0, 21);
    sky.setColorAt(0, QColor(110, 170, 240));
    sky.setColorAt(1, QColor(200, 230, 255));
    g.setBrush(sky);
    g.drawRect(QRectF(5, 6, 22, 15));
    g.setBrush(QColor(70, 150, 60));
    QPolygonF hill;
    hill << QPointF(5, 21) << QPointF(13, 12) << QPointF(19, 17) << QPointF(22, 14)
         << QPointF(27, 19) << QPointF(27, 21);
    g.drawPolygon(hill);
    g.setBrush(QColor(255, 220, 60));
    g.drawEllipse(QRectF(20, 7, 4, 4));
    g.setPen(Outline(QColor(50, 50, 60)));
    g.drawLine(QPointF(16, 23), QPointF(16, 27));
    g.drawLine(QPointF(10, 28), QPointF(22, 28));
}

void DrawHelp(QPainter& g)
{
    g.setPen(Outline(QColor(20, 60, 140)));
    g.setBrush(QColor(60, 120, 220));
    g.drawEllipse(QRectF(3, 3, 26, 26));
    QFont font;
    font.setPixelSize(20);
    font.setBold(true);
    g.setFont(font);
    g.setPen(Qt::white);
    g.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
}

QPixmap Draw(TGlyph glyph)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter g(&pixmap);
    g.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case TGlyph::Open:
        DrawOpen(g);
        break;
    case TGlyph::Save:
        DrawSave(g);
        break;
    case TGlyph::Print:
        DrawPrint(g);
        break;
    case TGlyph::Undo:
        DrawArrow(g, false);
        break;
    case TGlyph::Redo:
        DrawArrow(g, true);
        break;
    case TGlyph::Delete:
        DrawDelete(g);
        break;
    case TGlyph::Email:
        DrawEmail(g);
        break;
    case TGlyph::Wallpaper:
        DrawWallpaper(g);
        break;
    case TGlyph::Help:
        DrawHelp(g);
        break;
    }
    return pixmap;
}

const char* ThemeName(TGlyph glyph)
{
    switch (glyph) {
    case TGlyph::Open:
        return "document-open";
    case TGlyph::Save:
        return "document-save";
    case TGlyph::Print:
        return "document-print-preview";
    case TGlyph::Undo:
        return "edit-undo";
    case TGlyph::Redo:
        return "edit-redo";
    case TGlyph::Delete:
        return "edit-delete";
    case TGlyph::Email:
        return "mail-send";
    case TGlyph::Wallpaper:
        return "preferences-desktop-wallpaper";
    case TGlyph::Help:
        return "help-contents";
    }
    return "";
}
} // namespace

QIcon GlyphIcon(TGlyph glyph)
{
    return QIcon::fromTheme(QString::fromLatin1(ThemeName(glyph)), QIcon(Draw(glyph)));
}
