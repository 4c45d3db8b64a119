#pragma once

// The picture-cutting control of the picture frame designer: a picture
// fitted into the control and, over it, the grid of cuts (TDSplit) that the
// user places. ExtractPieces cuts the picture at full resolution along the
// grid and hands the twelve pieces to a picture frame generator.

#include "DSplit.h"
#include "MoveContain.h"

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class TPicFrameMaker;

// The control's standard mouse-up event.
using TMouseEvent =
    std::function<void(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;

class TFrameSplit : public TMoveContain
{
public:
    explicit TFrameSplit(QWidget* parent = nullptr);
    ~TFrameSplit() override;

    // The grid at (10, 10, width - 20, height - 20) with its default cuts,
    // selected. Run once, when the designer is shown.
    void InitSplit();
    // Decodes the file and shows it fitted into the control and centred; the
    // grid then covers exactly the shown picture with its default cuts. A
    // file that is no picture raises UnreadablePicture, a picture that would
    // be shown 0 pixels wide or high EImagingError saying so; both leave the
    // picture and the grid as they were.
    void LoadPicture(const QString& FileName);
    // Each piece of the grid cut from the full-resolution picture and handed
    // to Maker in piece order; nothing without a picture. A piece that is
    // empty at full resolution reaches Maker as a null bitmap.
    void ExtractPieces(TPicFrameMaker& Maker);
    // The same pieces handed to Take (bitmap, piece index) instead.
    void ExtractPieces(const std::function<void(const QImage& Piece, int Index)>& Take);
    // The sizes of the pieces ExtractPieces would hand over, in piece order
    // (0 x 0 for an empty one), found without cutting anything; none
    // without a picture.
    std::vector<QSize> PieceSizes() const;

    void PaintContent(QPainter& g) override;

    // The grid; null before InitSplit.
    TDSplit* Grid() const;
    bool HasPicture() const { return !LoadedPicture.isNull(); }
    const QImage& GetDisplayImage() const { return DisplayImage; }
    const QImage& GetLoadedPicture() const { return LoadedPicture; }
    TGPRect GetDisplayRect() const { return DisplayRect; }
    double GetScale() const { return Scale; }

    TMouseEvent OnMouseUP;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Whether there are a picture and a grid to cut it along.
    bool CanCut() const;
    // Piece Index of the grid in the loaded picture's pixels.
    TGPRect PieceSource(int Index) const;

    QImage DisplayImage;
    QImage LoadedPicture;
    TGPRect DisplayRect;
    double Scale = 0.0;
};
