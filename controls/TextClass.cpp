#include "TextClass.h"

#include "ExtMath.h"
#include "GdiDraw.h"

TTextClass::TTextClass(QWidget* owner)
    : TRectBase(owner), FontOption(std::make_unique<TFontOption>())
{
    KeepAspect = false;
}

TTextClass::~TTextClass() = default;

namespace {

// The font's size in points, taken as pixels; a font set by pixel size keeps
// that size.
double FontSizeValue(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() > 0 ? font.pixelSize() : 0.0;
}

} // namespace

void TTextClass::Draw(QPainter& g)
{
    DrawText(g, QRectF(X, Y, Width, Height), FontSizeValue(FontOption->Font));
}

void TTextClass::DrawScaled(QPainter& g, int offsetX, int offsetY, double scale)
{
    const double size = FontSizeValue(FontOption->Font);
    if (scale < 0) {
        // Like the pictures: a negative scale draws at the original size.
        DrawText(g, QRectF(X - offsetX, Y - offsetY, Width, Height), size);
        return;
    }
    const QRectF layout(double(XMul(X - offsetX, scale)), double(XMul(Y - offsetY, scale)),
                        double(XMul(Width, scale)), double(XMul(Height, scale)));
    DrawText(g, layout, double(XMul(size, scale)));
}

void TTextClass::DrawText(QPainter& g, const QRectF& layout, double emPixels)
{
    if (emPixels <= 0)
        return;
    const QFont font = MakePixelFont(TrimFamilyName(FontOption->Font.family()), emPixels,
                                     FontOption->StyleSum(), g.device());
    const QBrush brush =
        MakeLinearGradientBrush(layout, ColorRefToColor(FontOption->Color1),
                                ColorRefToColor(FontOption->Color2), FontOption->Angle);
    DrawStringInRect(g, Text, font, layout, brush);
}

void TTextClass::SetText(const QString& text, const TFontOption& option, int width, int height)
{
    TakeText(text, option);
    SetBounds(TGPRect{X, Y, width, height});
}

void TTextClass::SetTextAt(const QString& text, const TFontOption& option, int width, int height,
                           int x, int y)
{
    TakeText(text, option);
    SetBounds(TGPRect{x, y, width, height});
}

void TTextClass::TakeText(const QString& text, const TFontOption& option)
{
    FontOption->Font = option.Font;
    FontOption->SetColor1(option.Color1);
    FontOption->SetColor2(option.Color2);
    FontOption->SetAngle(option.Angle);
    Text = text;
}
