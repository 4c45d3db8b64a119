#pragma once

// Drawing helpers of the imaging layer for the canvas objects: regions built
// by union and used for clipping (set and exclude), the dashed selection pen,
// filled squares, the linear gradient brush of the text overlays and text
// drawn with a font whose em size is given in pixels.

#include "MyGdiPlus.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QRegion>
#include <QString>

#include <cstdint>

// ---------------------------------------------------------------------------
// Colours

// A colour reference: red in the low byte, then green, then blue.
using TColorRef = uint32_t;

inline TColorRef MakeColorRef(int red, int green, int blue)
{
    return TColorRef(red & 0xFF) | (TColorRef(green & 0xFF) << 8) | (TColorRef(blue & 0xFF) << 16);
}

// The opaque colour of a reference (alpha 255, the high byte ignored).
QColor ColorRefToColor(TColorRef ref);

// ---------------------------------------------------------------------------
// Regions

// An integer region. A new region is unbounded (it holds every point) until it
// is made empty; union adds rectangles.
class TGPRegion
{
public:
    TGPRegion() = default;

    bool IsInfinite() const { return m_infinite; }
    bool IsEmpty() const { return !m_infinite && m_region.isEmpty(); }
    void MakeEmpty();
    void MakeInfinite();
    void Union(const TGPRect& rect);
    // True when the point lies in the region.
    bool IsVisible(int x, int y) const;
    // The bounded area; meaningless while the region is unbounded.
    const QRegion& Area() const { return m_region; }

private:
    QRegion m_region;
    bool m_infinite = true;
};

// Replaces the painter's clip by the region (an unbounded region removes
// the clip).
void SetClipRegion(QPainter& painter, const TGPRegion& region);
// Takes the region out of the painter's clip; with no clip the painter's
// whole device is the starting area. Coordinates are the device's own.
void ExcludeClipRegion(QPainter& painter, const TGPRegion& region);

// ---------------------------------------------------------------------------
// Pens, brushes and squares

// Opaque black, width 1, dashes 3 pixels on and 1 off.
QPen MakeSelectionPen();

// Draws the closed outline through the corners of Rect's last inside pixels:
// (X, Y), (X + Width - 1, Y), (X + Width - 1, Y + Height - 1), (X, Y + Height - 1).
void DrawRectOutline(QPainter& painter, const QPen& pen, const TGPRect& rect);

// Fills Rect exactly (no antialiasing, whatever the painter's hints).
void FillRectSolid(QPainter& painter, const TGPRect& rect, const QColor& color);

// A linear gradient from Color1 to Color2 over Rect at Angle degrees
// (clockwise from the x axis, y pointing down). The angle is not scaled with
// the rectangle: the gradient runs along the true angle and its start and end
// lines pass through the rectangle's outermost corners along that direction.
// Outside them the colours repeat.
QBrush MakeLinearGradientBrush(const QRectF& rect, const QColor& color1, const QColor& color2,
                               double angle);

// ---------------------------------------------------------------------------
// Text

// The font styles as a sum.
enum TGPFontStyle : int
{
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

// A family name with leading and trailing blanks and control characters
// removed.
QString TrimFamilyName(const QString& family);

// A font of the family with an em of EmPixels device pixels on Device (its
// logical resolution turns pixels into points; no device means 96 dpi) and
// the style sum.
QFont MakePixelFont(const QString& family, double emPixels, int style, const QPaintDevice* device);

// Draws the text whole into the layout rectangle with the default string
// format: top-left aligned, broken into lines at word boundaries (a word wider
// than the rectangle is broken at the rectangle's edge), clipped to the
// rectangle.
void DrawStringInRect(QPainter& painter, const QString& text, const QFont& font,
                      const QRectF& layout, const QBrush& brush);
