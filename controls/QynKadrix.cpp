#include "QynKadrix.h"

#include "BandPainter.h"

#include "ExtMath.h"
#include "FrameMakerBase.h"
#include "MyGdiPlus.h"
#include "RectTools.h"
#include "UniFuncs.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

TQynKadrix::TQynKadrix(QWidget* parent)
    : QWidget(parent), Frame(std::make_unique<TFrameClass>(this)),
      Photo(std::make_unique<TPicClass>(this))
{
    // The whole client area is painted on every paint: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Moves without a button held drive the sizing cursors and the declined
    // presses.
    setMouseTracking(true);
}

TQynKadrix::~TQynKadrix()
{
    // The undo list names layers it does not own; empty it before they go.
    UndoList.clear();
}

void TQynKadrix::DeselectAll()
{
    Frame->SetSelected(false);
    Photo->SetSelected(false);
    for (auto& overlay : Overlays)
        overlay->SetSelected(false);
}

void TQynKadrix::SetBKColor(TColorRef value)
{
    BKColor = value;
    update();
}

TGPRect TQynKadrix::ClientBox() const
{
    TGPRect box;
    RectToGPRect(TRect{0, 0, width(), height()}, box);
    return box;
}

// ---------------------------------------------------------------------------
// Painting

void TQynKadrix::ResizeBackBuffer(int width, int height)
{
    if (BackBuffer && BackBuffer->width() == width && BackBuffer->height() == height)
        return;
    // Premultiplied is the painter's native format; the scene is opaque, so
    // its pixels are the same as plain ARGB.
    BackBuffer =
        std::make_unique<QImage>(NewBitmap(width, height, QImage::Format_ARGB32_Premultiplied));
}

void TQynKadrix::RenderScene(QPainter& g)
{
    // Only the frame's region is ever shown, so the background goes under
    // that region alone: a drag step clears a frame, not the whole window.
    SetClipRegion(g, Frame->Region);
    g.setCompositionMode(QPainter::CompositionMode_Source);
    g.fillRect(QRect(0, 0, g.device()->width(), g.device()->height()), ColorRefToColor(BKColor));
    g.setCompositionMode(QPainter::CompositionMode_SourceOver);
    Photo->Paint(g);
    Photo->DrawSelection(g);
    Frame->Paint(g);
    Frame->DrawSelection(g);
    for (auto& overlay : Overlays) {
        overlay->Paint(g);
        overlay->DrawSelection(g);
    }
}

void TQynKadrix::paintEvent(QPaintEvent*)
{
    const QColor background = ColorRefToColor(BKColor);
    const QRect client(0, 0, width(), height());
    QPainter painter(this);
    SetInterpolationMode(painter, TInterpolation::Default);

    if (!Frame->Loaded) {
        painter.fillRect(client, background);
        return;
    }

    if (PreviewMode) {
        // Without a photo there is nothing to leave out of the background.
        if (Photo->Loaded) {
            const QImage* preview = Photo->Image->GetPreviewBitmap();
            if (preview && !preview->isNull())
                Photo->DrawPreview(painter);
            else
                // No preview yet: the photo as it is.
                Photo->Paint(painter);
            ExcludeClipRegion(painter, Photo->Region);
        }
        painter.fillRect(client, background);
        return;
    }

    ResizeBackBuffer(width(), height());
    if (BackBuffer->isNull()) {
        painter.fillRect(client, background);
        return;
    }
    {
        QPainter g(BackBuffer.get());
        SetInterpolationMode(g, TInterpolation::Default);
        RenderScene(g);
    }
    // The frame's area with the margin that holds its handle squares.
    const QRect area(Frame->X - 3, Frame->Y - 3, Frame->Width + 5, Frame->Height + 5);
    painter.drawImage(area.topLeft(), *BackBuffer, area);
    ExcludeClipRegion(painter, Frame->Region);
    painter.fillRect(client, background);
}

void TQynKadrix::resizeEvent(QResizeEvent* event)
{
    DefaultBoxWidth = XTrunc(XMul(width(), 0.8));
    DefaultBoxHeight = XTrunc(XMul(height(), 0.8));
    update();
    QWidget::resizeEvent(event);
}

// ---------------------------------------------------------------------------
// Mouse

template <class F> TRectBase* TQynKadrix::Route(F ask)
{
    // An object's handler may change the overlay list (an event handler can
    // delete or re-stack), so the asking stops at the first taker.
    for (auto i = Overlays.size(); i-- > 0;) {
        TRectBase* overlay = Overlays[i].get();
        if (ask(*overlay))
            return overlay;
    }
    if (ask(*Frame))
        return Frame.get();
    if (ask(*Photo))
        return Photo.get();
    return nullptr;
}

namespace {

bool IsOverlay(const TRectBase* object, const TQynKadrix& canvas)
{
    return object && object != canvas.Frame.get() && object != canvas.Photo.get();
}

} // namespace

void TQynKadrix::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const int x = p.x();
    const int y = p.y();
    if (event->button() == Qt::LeftButton) {
        TRectBase* taker = Route([x, y](TRectBase& o) { return o.MouseDown(x, y); });
        if (IsOverlay(taker, *this) && ONLButtonDown)
            ONLButtonDown(taker, x, y);
    } else if (event->button() == Qt::RightButton) {
        TRectBase* taker = Route([x, y](TRectBase& o) { return o.RButtonDown(x, y); });
        if (IsOverlay(taker, *this) && OnRbuttonDown)
            OnRbuttonDown(taker, x, y);
    }
    event->accept();
}

void TQynKadrix::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        Route([&p](TRectBase& o) { return o.MouseUp(p.x(), p.y()); });
    }
    event->accept();
}

void TQynKadrix::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Route([&p](TRectBase& o) { return o.MouseMove(p.x(), p.y()); });
    if (OnMouseMove)
        OnMouseMove(event->modifiers(), p.x(), p.y());
    event->accept();
}

void TQynKadrix::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The press handler is not called here: the double click's first press
    // already made its selection, and a photo must not start a move just
    // before the dialog the event opens.
    if (event->button() == Qt::LeftButton && Photo->Selected && PicDoubleClick) {
        const QPoint p = event->position().toPoint();
        PicDoubleClick(Photo.get(), p.x(), p.y());
    }
    event->accept();
}

void TQynKadrix::leaveEvent(QEvent* event)
{
    SetAppCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

// ---------------------------------------------------------------------------
// Composing

void TQynKadrix::OpenPhoto(const QString& fileName)
{
    Photo->LoadFromFile(fileName, DefaultBoxWidth, DefaultBoxHeight, ClientBox(), true);
    // The new picture has a new history; undoing old entries would paint the
    // old photo's saved pixels into it.
    DropUndoEntries(Photo.get());
    update();
}

void TQynKadrix::LoadFrame(const QString& fileName)
{
    if (Frame->Loaded)
        Frame->LoadFromFile(fileName, Frame->Width, Frame->Height, Frame->GetRect(), true);
    else
        Frame->LoadFromFile(fileName, DefaultBoxWidth, DefaultBoxHeight, ClientBox(), true);
    DropUndoEntries(Frame.get());
    update();
}

void TQynKadrix::LoadFrameImage(TFrameMakerBase& maker)
{
    QImage bitmap;
    maker.Render(bitmap);
    if (Frame->Loaded)
        Frame->LoadFromImage(bitmap, Frame->Width, Frame->Height, Frame->GetRect(), false);
    else
        Frame->LoadFromImage(bitmap, DefaultBoxWidth, DefaultBoxHeight, ClientBox(), false);
    DropUndoEntries(Frame.get());
    update();
}

void TQynKadrix::AddClipArt(const QString& fileName)
{
    auto clipArt = std::make_unique<TPicClass>(this);
    // Appended only once the picture is in: a failed load raises and leaves
    // the overlays as they were.
    clipArt->LoadFromFile(fileName, 64, 64, Frame->GetRect(), false);
    clipArt->KeepAspect = false;
    Overlays.push_back(std::move(clipArt));
    update();
}

void TQynKadrix::AddText(const QString& text, const TFontOption& option)
{
    auto textObject = std::make_unique<TTextClass>(this);
    textObject->SetTextAt(text, option, 200, 40, Frame->X + Frame->Width / 2,
                          Frame->Y + Frame->Height / 2);
    Overlays.push_back(std::move(textObject));
    update();
}

int TQynKadrix::FirstSelectedOverlay() const
{
    for (size_t i = 0; i < Overlays.size(); ++i) {
        if (Overlays[i]->Selected)
            return int(i);
    }
    return -1;
}

bool TQynKadrix::UpdateSelectedText(const QString& text, const TFontOption& option)
{
    bool changed = false;
    const int index = FirstSelectedOverlay();
    if (index >= 0) {
        if (auto* textObject = dynamic_cast<TTextClass*>(Overlays[size_t(index)].get())) {
            textObject->SetText(text, option, textObject->Width, textObject->Height);
            changed = true;
        }
    }
    update();
    return changed;
}

void TQynKadrix::BringToFront()
{
    const int index = FirstSelectedOverlay();
    if (index >= 0) {
        auto object = std::move(Overlays[size_t(index)]);
        Overlays.erase(Overlays.begin() + index);
        Overlays.push_back(std::move(object));
    }
    update();
}

void TQynKadrix::SendToBack()
{
    const int index = FirstSelectedOverlay();
    if (index >= 0) {
        auto object = std::move(Overlays[size_t(index)]);
        Overlays.erase(Overlays.begin() + index);
        Overlays.insert(Overlays.begin(), std::move(object));
    }
    update();
}

void TQynKadrix::DeleteSelected()
{
    const int index = FirstSelectedOverlay();
    if (index >= 0) {
        TRectBase* object = Overlays[size_t(index)].get();
        if (auto* picture = dynamic_cast<TPicClass*>(object))
            DropUndoEntries(picture);
        Overlays.erase(Overlays.begin() + index);
    }
    // The pointer may have rested on the freed overlay's handle: a sizing
    // cursor left behind would make every object decline every press.
    SetAppCursor(Qt::ArrowCursor);
    update();
}

// ---------------------------------------------------------------------------
// Effects and undo

void TQynKadrix::ApplyEffect(std::unique_ptr<TEffectBase> effect)
{
    TPicClass* target = nullptr;
    if (Photo->Selected) {
        target = Photo.get();
    } else if (Frame->Selected) {
        target = Frame.get();
    } else {
        for (auto& overlay : Overlays) {
            auto* picture = dynamic_cast<TPicClass*>(overlay.get());
            if (picture && picture->Selected) {
                target = picture;
                break;
            }
        }
    }
    // Without a target the effect is freed here; a layer without a picture
    // records nothing, so nothing may be pushed either.
    if (target && target->ApplyEffect(std::move(effect)))
        PushUndo(target);
    update();
}

void TQynKadrix::SetPreviewMode(bool value)
{
    PreviewMode = value;
    update();
}

void TQynKadrix::PreviewPhotoEffect(TEffectBase& effect)
{
    Photo->PreviewEffect(effect);
    update();
}

void TQynKadrix::ApplyPhotoEffect(std::unique_ptr<TEffectBase> effect)
{
    if (Photo->ApplyEffect(std::move(effect)))
        PushUndo(Photo.get());
    update();
}

void TQynKadrix::PushUndo(TPicClass* layer)
{
    UndoList.resize(size_t(UndoIndex + 1));
    UndoList.push_back(layer);
    ++UndoIndex;
}

void TQynKadrix::DropUndoEntries(const TPicClass* layer)
{
    int index = 0;
    int cursor = UndoIndex;
    for (int i = 0; i < int(UndoList.size()); ++i) {
        if (UndoList[size_t(i)] == layer) {
            if (i <= UndoIndex)
                --cursor;
            continue;
        }
        UndoList[size_t(index++)] = UndoList[size_t(i)];
    }
    UndoList.resize(size_t(index));
    UndoIndex = cursor;
}

void TQynKadrix::Undo()
{
    if (UndoIndex < 0)
        return;
    UndoList[size_t(UndoIndex)]->Undo();
    --UndoIndex;
    update();
}

void TQynKadrix::Redo()
{
    if (UndoIndex >= int(UndoList.size()) - 1)
        return;
    ++UndoIndex;
    UndoList[size_t(UndoIndex)]->Redo();
    update();
}

bool TQynKadrix::CanUndo() const
{
    return UndoIndex >= 0;
}

bool TQynKadrix::CanRedo() const
{
    return UndoIndex < int(UndoList.size()) - 1;
}

// ---------------------------------------------------------------------------
// The composition

void TQynKadrix::RenderScaled(QPainter& g, int offsetX, int offsetY, double scale)
{
    RenderScaledPictures(g, offsetX, offsetY, scale);
    RenderScaledOverlays(g, offsetX, offsetY, scale);
}

void TQynKadrix::RenderScaledPictures(QPainter& g, int offsetX, int offsetY, double scale) const
{
    g.setCompositionMode(QPainter::CompositionMode_Source);
    g.fillRect(QRect(0, 0, g.device()->width(), g.device()->height()), ColorRefToColor(BKColor));
    g.setCompositionMode(QPainter::CompositionMode_SourceOver);
    Photo->DrawScaled(g, offsetX, offsetY, scale);
    Frame->DrawScaled(g, offsetX, offsetY, scale);
}

void TQynKadrix::RenderScaledOverlays(QPainter& g, int offsetX, int offsetY, double scale)
{
    for (auto& overlay : Overlays)
        overlay->DrawScaled(g, offsetX, offsetY, scale);
}

QImage TQynKadrix::ComposeBitmap(double scale)
{
    if (!(scale >= 0)) {
        const QImage* display = Photo->Image->GetDisplayImage();
        const bool hasPhoto =
            display && !display->isNull() && Photo->GetBitmap() && !Photo->GetBitmap()->isNull();
        scale = hasPhoto ? Photo->Image->GetSourceScale() : 1.0;
    }
    const int w = XTrunc(XMul(Frame->Width, scale));
    const int h = XTrunc(XMul(Frame->Height, scale));
    // Drawn premultiplied (the painter's own format) and handed out as plain
    // ARGB: the background is opaque, so both hold the same bytes.
    QImage bitmap = NewBitmap(w, h, QImage::Format_ARGB32_Premultiplied);
    if (!bitmap.isNull()) {
        // Background, photo and frame, nearly all of the work, on a few
        // threads; the overlays on top of them on this one.
        PaintInBands(bitmap, [&](QPainter& g) {
            SetInterpolationMode(g, TInterpolation::Default);
            RenderScaledPictures(g, Frame->X, Frame->Y, scale);
        });
        QPainter g(&bitmap);
        SetInterpolationMode(g, TInterpolation::Default);
        RenderScaledOverlays(g, Frame->X, Frame->Y, scale);
    }
    bitmap.reinterpretAsFormat(QImage::Format_ARGB32);
    return bitmap;
}

void TQynKadrix::SaveJPEG(const QString& fileName, double scale)
{
    const QImage bitmap = ComposeBitmap(scale);
    CheckJpegSize(bitmap.size());
    QString detail;
    const bool written = WriteFileAtomically(
        fileName,
        [&bitmap](QIODevice& device) { return EncodeImage(bitmap, &device, "image/jpeg", 100); },
        &detail);
    if (!written)
        throw EFCreateError(CreateFileMessage(fileName, detail));
}
