#include "FrameSplit.h"

#include "ExtMath.h"
#include "PicFrameMaker.h"
#include "PictureFile.h"
#include "ShownSize.h"

#include <QMouseEvent>

TFrameSplit::TFrameSplit(QWidget* parent) : TMoveContain(parent) {}

TFrameSplit::~TFrameSplit() = default;

void TFrameSplit::InitSplit()
{
    auto grid = std::make_unique<TDSplit>(this);
    grid->X = 10;
    grid->Y = 10;
    grid->Width = width() - 20;
    grid->Height = height() - 20;
    grid->PlaceSplits();
    grid->Selected = true;
    AddObject(std::move(grid));
}

TDSplit* TFrameSplit::Grid() const
{
    const auto& objects = GetObjects();
    return objects.empty() ? nullptr : static_cast<TDSplit*>(objects.front().get());
}

void TFrameSplit::LoadPicture(const QString& FileName)
{
    QImage loaded = ReadPictureFile(FileName);
    const int iw = loaded.width();
    const int ih = loaded.height();
    const int cw = width();
    const int ch = height();
    // Nothing to fit (and nothing to fit into): the earlier picture stays.
    if (iw <= 0 || ih <= 0)
        throw UnreadablePicture(FileName);
    if (cw <= 0 || ch <= 0)
        throw EImagingError("Cannot fit a picture into an empty control");

    double s;
    if (XDiv(iw, cw) > XDiv(ih, ch))
        s = double(XDiv(cw, iw));
    else
        s = double(XDiv(ch, ih));
    const int dw = XTrunc(XMul(iw, s));
    const int dh = XTrunc(XMul(ih, s));
    // A picture shown 0 pixels wide or high (1 x 20000) leaves the grid no
    // room: its pieces would be cut from outside the picture.
    CheckShownSize(FileName, loaded.size(), QSize(dw, dh), "cut into frame pieces");

    QImage display = NewBitmap(dw, dh, QImage::Format_ARGB32);
    if (!display.isNull()) {
        QPainter painter(&display);
        SetInterpolationMode(painter, TInterpolation::HighQuality);
        DrawBitmap(painter, loaded, QRectF(0, 0, dw, dh), loaded.rect());
    }

    LoadedPicture = std::move(loaded);
    DisplayImage = std::move(display);
    Scale = s;
    DisplayRect = TGPRect{(cw - dw) / 2, (ch - dh) / 2, dw, dh};

    if (TDSplit* grid = Grid()) {
        grid->X = DisplayRect.X;
        grid->Y = DisplayRect.Y;
        grid->Width = DisplayRect.Width;
        grid->Height = DisplayRect.Height;
        grid->PlaceSplits();
    }
    update();
}

void TFrameSplit::ExtractPieces(TPicFrameMaker& Maker)
{
    ExtractPieces([&Maker](const QImage& Piece, int Index) { Maker.SetPiece(Piece, Index); });
}

bool TFrameSplit::CanCut() const
{
    return !LoadedPicture.isNull() && Grid() && Scale > 0.0;
}

TGPRect TFrameSplit::PieceSource(int Index) const
{
    const TGPRect r = Grid()->PieceRect(Index);
    return TGPRect{XRound(XDiv(r.X - DisplayRect.X, Scale)),
                   XRound(XDiv(r.Y - DisplayRect.Y, Scale)), XRound(XDiv(r.Width, Scale)),
                   XRound(XDiv(r.Height, Scale))};
}

void TFrameSplit::ExtractPieces(const std::function<void(const QImage& Piece, int Index)>& Take)
{
    if (!CanCut())
        return;
    for (int i = 0; i < TDSplit::PieceCount; ++i) {
        const TGPRect r = PieceSource(i);
        if (r.Width <= 0 || r.Height <= 0) {
            Take(QImage(), i);
            continue;
        }
        QImage piece = NewBitmap(r.Width, r.Height, QImage::Format_ARGB32);
        {
            QPainter painter(&piece);
            // A plain copy: the picture's pixels as they are, alpha included.
            // Parts of the source outside the picture stay transparent.
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(QPoint(0, 0), LoadedPicture, ToQRect(r));
        }
        Take(piece, i);
    }
}

std::vector<QSize> TFrameSplit::PieceSizes() const
{
    std::vector<QSize> sizes;
    if (!CanCut())
        return sizes;
    for (int i = 0; i < TDSplit::PieceCount; ++i) {
        const TGPRect r = PieceSource(i);
        sizes.push_back(r.Width > 0 && r.Height > 0 ? QSize(r.Width, r.Height) : QSize(0, 0));
    }
    return sizes;
}

void TFrameSplit::PaintContent(QPainter& g)
{
    TMoveContain::PaintContent(g);
    if (!DisplayImage.isNull()) {
        // Transparent parts of the picture show the background, not what an
        // earlier paint left there.
        g.fillRect(ToQRect(DisplayRect), ColorRefToColor(GetBKColor()));
        g.drawImage(QPoint(DisplayRect.X, DisplayRect.Y), DisplayImage);
    }
    TGPRegion picture;
    picture.MakeEmpty();
    picture.Union(DisplayRect);
    ExcludeClipRegion(g, picture);
    g.fillRect(rect(), ColorRefToColor(GetBKColor()));
}

void TFrameSplit::mouseReleaseEvent(QMouseEvent* event)
{
    TMoveContain::mouseReleaseEvent(event);
    if (OnMouseUP) {
        const QPoint p = event->position().toPoint();
        OnMouseUP(event->button(), event->modifiers(), p.x(), p.y());
    }
}
