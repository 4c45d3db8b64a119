#pragma once

// A text overlay: its text drawn with a colour gradient into its rectangle.
// The rectangle does not follow the text; only the handles change it.

#include "FontOption.h"
#include "RectBase.h"

#include <QString>

#include <memory>

class TTextClass : public TRectBase
{
public:
    explicit TTextClass(QWidget* owner);
    ~TTextClass() override;

    // The font's size in points as an em in pixels, the gradient over the
    // rectangle, the text clipped to the rectangle.
    void Draw(QPainter& g) override;
    // As Draw with the em and the layout rectangle (and the gradient with it)
    // times Scale, in floating point.
    void DrawScaled(QPainter& g, int offsetX, int offsetY, double scale) override;

    // Copies Option (it stays the caller's) and the text; the rectangle
    // takes the given size (SetBounds), so the owner repaints.
    void SetText(const QString& text, const TFontOption& option, int width, int height);
    // SetText, then X and Y.
    void SetTextAt(const QString& text, const TFontOption& option, int width, int height, int x,
                   int y);
    const QString& GetText() const { return Text; }
    const TFontOption& GetFontOption() const { return *FontOption; }

    QString Text;
    std::unique_ptr<TFontOption> FontOption;

private:
    void TakeText(const QString& text, const TFontOption& option);
    void DrawText(QPainter& g, const QRectF& layout, double emPixels);
};
