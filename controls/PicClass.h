#pragma once

// A picture on a composing control: the canvas's photo layer, each clip-art
// overlay and the print preview's picture. It holds the picture with its
// effect history and draws it stretched into its rectangle.

#include "EffectBase.h"
#include "EffectImage.h"
#include "RectBase.h"

#include <QImage>
#include <QString>

#include <memory>

class TPicClass : public TRectBase
{
public:
    explicit TPicClass(QWidget* owner);
    ~TPicClass() override;

    void Draw(QPainter& g) override;
    // Rebuilds the display picture at the object's size (end of a resize).
    void ApplySize() override;
    // Into ((X - OffsetX) x Scale, (Y - OffsetY) x Scale, Width x Scale,
    // Height x Scale), each truncated toward zero; a negative Scale draws at
    // (X - OffsetX, Y - OffsetY, Width, Height).
    void DrawScaled(QPainter& g, int offsetX, int offsetY, double scale) override;

    // Loads the file fitted into BoxW x BoxH with its proportions kept and
    // centred in Box (halves truncated); sets Loaded and takes the new
    // rectangle (SetBounds). The picture starts with an empty history. A file
    // that cannot be decoded raises the picture's error before anything of
    // the object changes.
    virtual void LoadFromFile(const QString& fileName, int boxW, int boxH, const TGPRect& box,
                              bool inset);
    // The same from a picture that stays the caller's.
    virtual void LoadFromImage(const QImage& picture, int boxW, int boxH, const TGPRect& box,
                               bool inset);

    // Sets the rectangle at once (SetBounds); rebuilds nothing.
    void SetRect(const TGPRect& rect);
    const TGPRegion& GetRegion() const { return Region; }
    // The full-resolution source picture; null before a load.
    QImage* GetBitmap() const;
    // The preview picture into the rectangle.
    void DrawPreview(QPainter& g);

    // Runs the effect and records it in the picture's history, which owns it
    // from then on; Width and Height take the size it returns (truncated), X
    // and Y stay, so a quarter turn turns the object about its top-left
    // corner. False when there was no picture to change (nothing recorded).
    bool ApplyEffect(std::unique_ptr<TEffectBase> effect);
    // Runs the effect on a copy of the display only; the caller keeps it.
    void PreviewEffect(TEffectBase& effect);
    // Step the picture's history back or forward, taking the size with it.
    void Undo();
    void Redo();

    bool Loaded = false;
    std::unique_ptr<TEffectImage> Image;

protected:
    void PlaceInBox(int w, int h, const TGPRect& box);
    // The size an effect, undo or redo returned, truncated; X and Y stay.
    void TakeSize(double w, double h);
};
