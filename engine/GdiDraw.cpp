#include "GdiDraw.h"

#include <QLinearGradient>
#include <QPaintDevice>
#include <QPolygonF>
#include <QTextOption>

#include <cmath>

QColor ColorRefToColor(TColorRef ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF), 255);
}

// ---------------------------------------------------------------------------
// Regions

void TGPRegion::MakeEmpty()
{
    m_region = QRegion();
    m_infinite = false;
}

void TGPRegion::MakeInfinite()
{
    m_region = QRegion();
    m_infinite = true;
}

void TGPRegion::Union(const TGPRect& rect)
{
    if (m_infinite || rect.Width <= 0 || rect.Height <= 0)
        return;
    m_region += ToQRect(rect);
}

bool TGPRegion::IsVisible(int x, int y) const
{
    return m_infinite || m_region.contains(QPoint(x, y));
}

void SetClipRegion(QPainter& painter, const TGPRegion& region)
{
    if (region.IsInfinite()) {
        painter.setClipping(false);
        return;
    }
    painter.setClipRegion(region.Area(), Qt::ReplaceClip);
}

void ExcludeClipRegion(QPainter& painter, const TGPRegion& region)
{
    QRegion base;
    if (painter.hasClipping())
        base = painter.clipRegion();
    else if (painter.device())
        base = QRegion(0, 0, painter.device()->width(), painter.device()->height());
    const QRegion rest = region.IsInfinite() ? QRegion() : base.subtracted(region.Area());
    // An empty clip region with clipping on draws nothing, which is what
    // excluding everything means.
    painter.setClipRegion(rest, Qt::ReplaceClip);
}

// ---------------------------------------------------------------------------
// Pens, brushes and squares

QPen MakeSelectionPen()
{
    QPen pen(QColor(0, 0, 0, 255));
    pen.setWidthF(1.0);
    pen.setDashPattern({3, 1});
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void DrawRectOutline(QPainter& painter, const QPen& pen, const TGPRect& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // Through the pixel centres, so that each corner point is its own pixel
    // and the first dash starts on it.
    painter.translate(0.5, 0.5);
    const int right = rect.X + rect.Width - 1;
    const int bottom = rect.Y + rect.Height - 1;
    QPolygonF polygon;
    polygon << QPointF(rect.X, rect.Y) << QPointF(right, rect.Y) << QPointF(right, bottom)
            << QPointF(rect.X, bottom);
    painter.drawPolygon(polygon);
    painter.restore();
}

void FillRectSolid(QPainter& painter, const TGPRect& rect, const QColor& color)
{
    if (rect.Width <= 0 || rect.Height <= 0)
        return;
    painter.fillRect(ToQRect(rect), color);
}

QBrush MakeLinearGradientBrush(const QRectF& rect, const QColor& color1, const QColor& color2,
                               double angle)
{
    const double radians = angle * M_PI / 180.0;
    const double cx = std::cos(radians);
    const double sy = std::sin(radians);
    // Half the rectangle's extent along the gradient direction: the start and
    // end lines touch its outermost corners.
    const double half = (std::abs(rect.width() * cx) + std::abs(rect.height() * sy)) / 2.0;
    const QPointF centre = rect.center();
    const QPointF offset(cx * half, sy * half);
    QLinearGradient gradient(centre - offset, centre + offset);
    gradient.setColorAt(0.0, color1);
    gradient.setColorAt(1.0, color2);
    gradient.setSpread(QGradient::RepeatSpread);
    return QBrush(gradient);
}

// ---------------------------------------------------------------------------
// Text

QString TrimFamilyName(const QString& family)
{
    qsizetype first = 0;
    qsizetype last = family.size();
    while (first < last && family.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && family.at(last - 1).unicode() <= 0x20)
        --last;
    return family.mid(first, last - first);
}

QFont MakePixelFont(const QString& family, double emPixels, int style, const QPaintDevice* device)
{
    QFont font(family);
    const int dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    if (emPixels > 0)
        font.setPointSizeF(emPixels * 72.0 / dpi);
    font.setBold((style & FontStyleBold) != 0);
    font.setItalic((style & FontStyleItalic) != 0);
    font.setUnderline((style & FontStyleUnderline) != 0);
    font.setStrikeOut((style & FontStyleStrikeout) != 0);
    return font;
}

void DrawStringInRect(QPainter& painter, const QString& text, const QFont& font,
                      const QRectF& layout, const QBrush& brush)
{
    if (text.isEmpty() || layout.width() <= 0 || layout.height() <= 0)
        return;
    painter.save();
    painter.setClipRect(layout, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(QPen(brush, 1.0));
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(layout, text, option);
    painter.restore();
}
