#include "EffectImage.h"

#include "ExtMath.h"
#include "GeometricEffects.h"
#include "PictureFile.h"
#include "ShownSize.h"

#include <algorithm>

namespace {

// Formats a painter can draw on are kept as they are, sharing the caller's
// pixels until an effect changes them; anything else (palette, one-bit,
// 16-bit) becomes 32-bit ARGB or RGB.
QImage MakeSource(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return image;
    default:
        return NormalizeDecoded(image);
    }
}

// The source drawn with high-quality interpolation into a new bitmap of
// Trunc(W) x Trunc(H) in the source's pixel format. A size below zero gives
// an empty display, as one of zero does.
QImage MakeDisplay(const QImage& source, double W, double H)
{
    const QImage::Format format = source.isNull() ? QImage::Format_ARGB32 : source.format();
    QImage display = NewBitmap(std::max(0, XTrunc(W)), std::max(0, XTrunc(H)), format);
    if (display.isNull() || source.isNull())
        return display;
    QPainter g(&display);
    g.setCompositionMode(QPainter::CompositionMode_Source);
    SetInterpolationMode(g, TInterpolation::HighQuality);
    DrawBitmap(g, source, QRectF(0, 0, W, H), source.rect());
    return display;
}

// Image (with pixels) fitted into W x H with its proportions kept, each side
// rounded.
QSize FittedSize(const QImage& Image, int W, int H)
{
    const int w = Image.width();
    const int h = Image.height();
    double scale;
    if (XDiv(w, W) > XDiv(h, H))
        scale = double(W) / double(w);
    else
        scale = double(H) / double(h);
    return QSize(XRound(XMul(w, scale)), XRound(XMul(h, scale)));
}

bool ChangesSize(const TEffectBase* effect)
{
    return dynamic_cast<const TEffectChangeWH*>(effect) != nullptr;
}

} // namespace

TEffectImage::TEffectImage() = default;

TEffectImage::~TEffectImage()
{
    ClearHistory();
}

void TEffectImage::ClearHistory()
{
    // Freed from the last to the first, as they were made.
    while (!History.empty())
        History.pop_back();
    HistoryIndex = -1;
}

void TEffectImage::LoadFromFileFit(const QString& FileName, int& W, int& H, bool Inset)
{
    const QImage picture = ReadPictureFile(FileName);
    // Fitted to no pixel across or down, the picture would show as nothing.
    CheckShownSize(FileName, picture.size(), FittedSize(picture, W, H), "be shown");
    SetImageFit(picture, W, H, Inset);
}

void TEffectImage::SetImageFit(const QImage& Image, int& W, int& H, bool Inset)
{
    if (Image.isNull() || Image.width() <= 0 || Image.height() <= 0)
        throw EImagingError("Cannot fit an empty picture");
    const QSize fitted = FittedSize(Image, W, H);
    const int fitW = fitted.width();
    const int fitH = fitted.height();

    // Everything is made before anything changes, so a failure leaves the
    // picture as it was.
    auto source = std::make_unique<QImage>(MakeSource(Image));
    auto display = std::make_unique<QImage>(MakeDisplay(*source, fitW, fitH));
    SourceBitmap = std::move(source);
    DisplayImage = std::move(display);
    InsetSource = Inset;
    PreviewBitmap.reset();
    ClearHistory();
    W = fitW;
    H = fitH;
}

void TEffectImage::LoadFromFile(const QString& FileName, int W, int H, bool Inset)
{
    SetBitmap(DecodeImageFile(FileName), W, H, Inset);
}

void TEffectImage::SetBitmap(const QImage& Bitmap, int W, int H, bool Inset)
{
    auto source = std::make_unique<QImage>(MakeSource(Bitmap));
    auto display = std::make_unique<QImage>(MakeDisplay(*source, W, H));
    SourceBitmap = std::move(source);
    DisplayImage = std::move(display);
    InsetSource = Inset;
    PreviewBitmap.reset();
    ClearHistory();
}

void TEffectImage::RebuildDisplay(double W, double H)
{
    const QImage empty;
    DisplayImage =
        std::make_unique<QImage>(MakeDisplay(SourceBitmap ? *SourceBitmap : empty, W, H));
}

void TEffectImage::ShowDisplayHistory()
{
    // The source holds only the quarter turns; the display must show every
    // applied entry in order. A flip that an odd number of later quarter
    // turns follow shows as the other flip, since turning a mirrored picture
    // equals mirroring the turned picture the other way.
    for (int i = 0; i <= HistoryIndex; ++i) {
        TEffectBase* effect = History[i].get();
        if (ChangesSize(effect))
            continue;
        int turns = 0;
        for (int j = i + 1; j <= HistoryIndex; ++j)
            turns += ChangesSize(History[j].get()) ? 1 : 0;
        if (turns % 2 == 1 && dynamic_cast<TFlipX*>(effect))
            RotateFlip(*DisplayImage, Rotate180FlipX);
        else if (turns % 2 == 1 && dynamic_cast<TFlipY*>(effect))
            RotateFlip(*DisplayImage, RotateNoneFlipX);
        else
            effect->Redo(*DisplayImage);
    }
}

void TEffectImage::ResizeDisplay(int W, int H)
{
    if (!SourceBitmap)
        return;
    RebuildDisplay(W, H);
    ShowDisplayHistory();
}

bool TEffectImage::AddEffect(std::unique_ptr<TEffectBase> Effect, double& W, double& H)
{
    if (!Effect || !SourceBitmap || SourceBitmap->isNull() || !DisplayImage)
        return false;

    // A new effect always ends the redo chain.
    while (HistoryIndex + 1 < GetHistoryCount())
        History.pop_back();

    TEffectBase* effect = Effect.get();
    if (ChangesSize(effect)) {
        effect->Execute(*SourceBitmap, W, H);
        History.push_back(std::move(Effect));
        ++HistoryIndex;
        RebuildDisplay(W, H);
        ShowDisplayHistory();
    } else {
        effect->Execute(*DisplayImage, W, H);
        History.push_back(std::move(Effect));
        ++HistoryIndex;
    }
    return true;
}

void TEffectImage::Undo(double& W, double& H)
{
    if (HistoryIndex < 0)
        return;
    TEffectBase* effect = History[HistoryIndex].get();
    if (ChangesSize(effect)) {
        const auto* turn = static_cast<TEffectChangeWH*>(effect);
        W = turn->OldWidth;
        H = turn->OldHeight;
        effect->Undo(*SourceBitmap);
        --HistoryIndex;
        RebuildDisplay(W, H);
        ShowDisplayHistory();
    } else {
        const QSize size = DisplayImage->size();
        effect->Undo(*DisplayImage);
        --HistoryIndex;
        // A colour step restores the copy it saved; after a resize in
        // between that copy has the old size, so the display is made again
        // at the present one.
        if (DisplayImage->size() != size) {
            RebuildDisplay(size.width(), size.height());
            ShowDisplayHistory();
        }
    }
}

void TEffectImage::Redo(double& W, double& H)
{
    if (HistoryIndex >= GetHistoryCount() - 1)
        return;
    ++HistoryIndex;
    TEffectBase* effect = History[HistoryIndex].get();
    if (ChangesSize(effect)) {
        const auto* turn = static_cast<TEffectChangeWH*>(effect);
        effect->Redo(*SourceBitmap);
        W = turn->OldHeight;
        H = turn->OldWidth;
        RebuildDisplay(W, H);
        ShowDisplayHistory();
    } else {
        effect->Redo(*DisplayImage);
    }
}

void TEffectImage::PreviewEffect(TEffectBase& Effect, double& W, double& H)
{
    if (!DisplayImage || !SourceBitmap || SourceBitmap->isNull())
        return;
    // Shares the display's pixels until the effect changes them.
    PreviewBitmap = std::make_unique<QImage>(*DisplayImage);
    Effect.Execute(*PreviewBitmap, W, H);
}

void TEffectImage::Draw(QPainter& Graphics, const TGPRect& Rect) const
{
    if (!DisplayImage)
        return;
    const int i = InsetSource ? 1 : 0;
    const QRect source(i, i, DisplayImage->width() - 2 * i, DisplayImage->height() - 2 * i);
    DrawBitmap(Graphics, *DisplayImage, QRectF(ToQRect(Rect)), source);
}

void TEffectImage::DrawTo(QPainter& Graphics, const TGPRect& Rect) const
{
    Draw(Graphics, Rect);
}

void TEffectImage::DrawPreview(QPainter& Graphics, const TGPRect& Rect) const
{
    if (!PreviewBitmap)
        return;
    DrawBitmap(Graphics, *PreviewBitmap, QRectF(ToQRect(Rect)), PreviewBitmap->rect());
}

double TEffectImage::GetSourceScale() const
{
    if (!SourceBitmap || !DisplayImage || DisplayImage->width() <= 0)
        return 1.0;
    return double(SourceBitmap->width()) / double(DisplayImage->width());
}
