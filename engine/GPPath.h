#pragma once

// Paths, brushes and pens of the imaging layer for the frame generators.
//
// A path is a list of closed figures filled under the alternate (even-odd)
// or the winding rule. Paths are only ever filled, with FillPath: a QPainter
// drawPath would also stroke the outline with the painter's pen. Brushes are
// solid or textures repeated in rows and columns from the origin (tile wrap);
// their transforms map texture space to the bitmap, and every transform step
// added to a brush is prepended, i.e. applied to texture coordinates before
// the steps already there.

#include "MyGdiPlus.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPointF>

#include <vector>

enum class TFillMode
{
    Alternate,
    Winding
};

class TGPPath
{
public:
    explicit TGPPath(TFillMode mode = TFillMode::Alternate);

    TFillMode FillMode() const { return m_mode; }
    // Each Add call makes one closed figure. A rectangle or ellipse whose width
    // or height is 0 or less, or a polygon of fewer than three points, encloses
    // nothing and adds no figure.
    void AddRectangle(const TGPRect& rect);
    void AddRectangle(const QRectF& rect);
    void AddEllipse(const TGPRect& rect);
    void AddEllipse(const QRectF& rect);
    void AddPolygon(const std::vector<QPointF>& points);

    int FigureCount() const { return m_figures; }
    bool IsEmpty() const { return m_figures == 0; }
    const QPainterPath& PainterPath() const { return m_path; }

private:
    TFillMode m_mode;
    QPainterPath m_path;
    int m_figures = 0;
};

// Fills the path with the brush and strokes nothing. A brush without a style
// (an empty texture) or an empty path draws nothing.
void FillPath(QPainter& painter, const TGPPath& path, const QBrush& brush);

QBrush MakeSolidBrush(const QColor& color);
// A brush that repeats Texture from the origin at its natural size. An empty
// texture gives a brush that fills nothing.
QBrush MakeTextureBrush(const QImage& texture);
// Prepend a step to the brush's transform.
void TranslateBrushTransform(QBrush& brush, double dx, double dy);
void RotateBrushTransform(QBrush& brush, double degrees);
void ScaleBrushTransform(QBrush& brush, double sx, double sy);

// A solid pen of the colour and width with square caps and mitred joins.
QPen MakeSolidPen(const QColor& color, double width);
