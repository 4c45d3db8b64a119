#pragma once

// The composition canvas: the photo, the frame and a stack of overlays
// (clip-art pictures and texts). It paints them through an off-screen buffer
// clipped to the frame, routes every mouse event to them from the top down,
// keeps at most one of them selected, and composes the framed result into a
// bitmap or a JPEG file.

#include "EffectBase.h"
#include "FontOption.h"
#include "FrameClass.h"
#include "GdiDraw.h"
#include "PicClass.h"
#include "RectBase.h"
#include "TextClass.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class TFrameMakerBase;

// The canvas's mouse events: the canvas object concerned and the pointer in
// the canvas's client coordinates.
using TLButtonDown = std::function<void(TRectBase* Sender, int X, int Y)>;
using TRButtonDown = std::function<void(TRectBase* Sender, int X, int Y)>;
using TPicDown = std::function<void(TRectBase* Sender, int X, int Y)>;
using TPicDoubleClick = std::function<void(TRectBase* Sender, int X, int Y)>;
// Fired after the canvas's own handling of every mouse move.
using TCanvasMouseMove = std::function<void(Qt::KeyboardModifiers Shift, int X, int Y)>;

class TQynKadrix : public QWidget, public TRectOwner
{
public:
    explicit TQynKadrix(QWidget* parent = nullptr);
    ~TQynKadrix() override;

    // Deselects the frame, the photo and every overlay from the lowest up;
    // does not repaint.
    void DeselectAll() override;

    TColorRef GetBKColor() const { return BKColor; }
    // Stores the colour and repaints.
    void SetBKColor(TColorRef value);

    // --- Composing -------------------------------------------------------

    // The photo fitted into the default box, proportions kept, centred in the
    // client area. A file that cannot be decoded raises the picture's error
    // and leaves the photo as it was. A new picture starts a new history: the
    // photo's entries leave the undo list.
    void OpenPhoto(const QString& fileName);
    // A PNG frame: stretched to the current frame rectangle once a frame is
    // loaded, else to the default box centred in the client area. An
    // undecodable file gives an empty frame of that rectangle; a picture
    // refused for its size raises EPictureTooLarge and leaves the frame.
    void LoadFrame(const QString& fileName);
    // The frame rendered by Maker (which stays the caller's), fitted with its
    // proportions into the frame rectangle, or the default box before the
    // first frame.
    void LoadFrameImage(TFrameMakerBase& maker);
    // A clip-art picture fitted into 64 x 64 and centred in the frame
    // rectangle, on top of the overlays, unselected.
    void AddClipArt(const QString& fileName);
    // A 200 x 40 text overlay whose top-left corner lies at the centre of the
    // frame rectangle, on top of the overlays, unselected. Option is copied.
    void AddText(const QString& text, const TFontOption& option);
    // Changes the selected text overlay's text and style, keeping its
    // rectangle; false when no text overlay is selected.
    bool UpdateSelectedText(const QString& text, const TFontOption& option);
    // Re-stack or free the selected overlay; the photo and the frame never
    // move and are never deleted.
    void BringToFront();
    void SendToBack();
    void DeleteSelected();

    // --- Effects and undo ------------------------------------------------

    // A flip or quarter turn of the selected picture (the photo, else the
    // frame, else the lowest selected clip-art). Without a picture to change
    // the effect is dropped and nothing is recorded.
    void ApplyEffect(std::unique_ptr<TEffectBase> effect);
    void SetPreviewMode(bool value);
    // Runs a colour effect on a copy of the photo's display; the caller keeps
    // the effect.
    void PreviewPhotoEffect(TEffectBase& effect);
    // Applies a colour effect to the photo, selected or not.
    void ApplyPhotoEffect(std::unique_ptr<TEffectBase> effect);
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // --- The composition -------------------------------------------------

    int GetFrameWidth() const { return Frame->Width; }
    int GetFrameHeight() const { return Frame->Height; }
    TGPRect GetFrameRect() const { return Frame->GetRect(); }

    // The scene over exactly the frame rectangle times Scale (truncated), 32-bit
    // ARGB, first filled with the background colour. A negative Scale takes
    // the photo's own resolution (1.0 while there is no photo).
    QImage ComposeBitmap(double scale);
    // ComposeBitmap written as JPEG of quality 100. Raises EImagingError
    // (CheckJpegSize) for a picture JPEG cannot hold, before anything is
    // written, and EFCreateError naming the file when it cannot be written;
    // the file it was to replace is then left as it was.
    void SaveJPEG(const QString& fileName, double scale);

    // The normal scene, clipped to the frame's region: background, then each
    // layer with its selection marks.
    void RenderScene(QPainter& g);
    // The scene for export: background, then each layer drawn scaled from
    // the offset, no selection marks.
    void RenderScaled(QPainter& g, int offsetX, int offsetY, double scale);
    // Its two parts: the background with the photo and the frame, which
    // only read the layers and may run on several threads at once, then
    // the overlays.
    void RenderScaledPictures(QPainter& g, int offsetX, int offsetY, double scale) const;
    void RenderScaledOverlays(QPainter& g, int offsetX, int offsetY, double scale);

    // --- Layers and state --------------------------------------------------

    TColorRef BKColor = 0;
    std::unique_ptr<TFrameClass> Frame;
    std::unique_ptr<TPicClass> Photo;
    // Index 0 lowest, the last one on top.
    std::vector<std::unique_ptr<TRectBase>> Overlays;
    // The off-screen image of the scene at the client size; null until the
    // first normal paint. Kept while the client size stays the same.
    std::unique_ptr<QImage> BackBuffer;
    int DefaultBoxHeight = 300;
    int DefaultBoxWidth = 500;

    TRButtonDown OnRbuttonDown;
    TLButtonDown ONLButtonDown;
    // Kept for the form description; the canvas never fires it.
    TPicDown PicClick;
    TPicDoubleClick PicDoubleClick;
    TCanvasMouseMove OnMouseMove;

    bool PreviewMode = false;
    // The layers that received the applied effects, in order (not owned);
    // UndoIndex is the last applied and not undone entry, -1 for none.
    std::vector<TPicClass*> UndoList;
    int UndoIndex = -1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void ResizeBackBuffer(int width, int height);
    void PushUndo(TPicClass* layer);
    // Takes every entry naming Layer out of the undo list, keeping the
    // cursor on the same applied entries of the other layers.
    void DropUndoEntries(const TPicClass* layer);
    // The lowest selected overlay's index; -1 for none.
    int FirstSelectedOverlay() const;
    // The client area as a rectangle at (0, 0).
    TGPRect ClientBox() const;
    // Asks the overlays from the top down, then the frame, then the photo,
    // until one answers true; returns that object.
    template <class F> TRectBase* Route(F ask);
};
