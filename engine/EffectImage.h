#pragma once

// A picture of the canvas with everything done to it: the full-resolution
// source, a working copy at display size, a preview copy, and the history of
// executed effects with a cursor for undo and redo.

#include "EffectBase.h"
#include "MyGdiPlus.h"

#include <QImage>
#include <QPainter>
#include <QString>

#include <memory>
#include <vector>

class TEffectImage
{
public:
    TEffectImage();
    ~TEffectImage();
    TEffectImage(const TEffectImage&) = delete;
    TEffectImage& operator=(const TEffectImage&) = delete;

    // Decodes the file, then SetImageFit. Raises an error naming the file when
    // it cannot be decoded, or when fitted it would have no pixel across or
    // down (ShownSize.h); the picture then stays as it was.
    void LoadFromFileFit(const QString& FileName, int& W, int& H, bool Inset);
    // New source from Image; the display is fitted into W x H keeping the
    // aspect ratio, and the fitted size comes back in W and H.
    void SetImageFit(const QImage& Image, int& W, int& H, bool Inset);
    // Decodes the file, then SetBitmap.
    void LoadFromFile(const QString& FileName, int W, int H, bool Inset);
    // New source from Bitmap; the display is exactly W x H.
    void SetBitmap(const QImage& Bitmap, int W, int H, bool Inset);

    // New display at W x H with the display-side history shown again.
    void ResizeDisplay(int W, int H);

    // Executes the effect on the right bitmap and records it; the history owns
    // it from then on. False (and the effect freed) when there is no picture
    // to change, so nothing was recorded.
    bool AddEffect(std::unique_ptr<TEffectBase> Effect, double& W, double& H);
    void Undo(double& W, double& H);
    void Redo(double& W, double& H);
    // Executes the effect on a fresh copy of the display only; the caller
    // keeps the effect. Nothing happens without a picture.
    void PreviewEffect(TEffectBase& Effect, double& W, double& H);

    // Draw the display (from the source rectangle inset by one pixel when
    // InsetSource is set) or the preview into Rect, with the interpolation
    // and other settings of the caller's painter.
    void Draw(QPainter& Graphics, const TGPRect& Rect) const;
    void DrawTo(QPainter& Graphics, const TGPRect& Rect) const;
    void DrawPreview(QPainter& Graphics, const TGPRect& Rect) const;

    // Width of the source divided by width of the display; 1.0 while there is
    // no display or it is 0 wide.
    double GetSourceScale() const;
    QImage* GetDisplayImage() const { return DisplayImage.get(); }
    QImage* GetSourceBitmap() const { return SourceBitmap.get(); }
    QImage* GetPreviewBitmap() const { return PreviewBitmap.get(); }

    int GetHistoryIndex() const { return HistoryIndex; }
    int GetHistoryCount() const { return static_cast<int>(History.size()); }
    TEffectBase* GetHistoryItem(int Index) const { return History.at(Index).get(); }
    bool GetInsetSource() const { return InsetSource; }

private:
    void RebuildDisplay(double W, double H);
    void ShowDisplayHistory();
    void ClearHistory();

    std::unique_ptr<QImage> SourceBitmap;
    std::unique_ptr<QImage> DisplayImage;
    std::unique_ptr<QImage> PreviewBitmap;
    std::vector<std::unique_ptr<TEffectBase>> History;
    int HistoryIndex = -1;
    bool InsetSource = false;
};
