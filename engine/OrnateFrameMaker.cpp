#include "OrnateFrameMaker.h"

#include "FrameRecord.h"
#include "GPPath.h"
#include "MyGdiPlus.h"
#include "UniFuncs.h"

namespace {

constexpr int RecordSize = 12;

// One side of the frame: a closed figure of four straight lines.
TGPPath Trapezoid(QPoint A, QPoint B, QPoint C, QPoint D)
{
    TGPPath path(TFillMode::Alternate);
    path.AddPolygon({QPointF(A), QPointF(B), QPointF(C), QPointF(D)});
    return path;
}

} // namespace

int32_t TOrnateFrameMaker::GetAddedWidth() const
{
    return SaturateToInt32(int64_t(FrameSize) * 2);
}

int32_t TOrnateFrameMaker::GetAddedHeight() const
{
    return SaturateToInt32(int64_t(FrameSize) * 2);
}

int32_t TOrnateFrameMaker::GetTopBand() const
{
    return FrameSize;
}

int32_t TOrnateFrameMaker::GetLeftBand() const
{
    return FrameSize;
}

QImage TOrnateFrameMaker::MakeWorkingTile() const
{
    // The tile is stretched to (N + 2) x (N + 2) and only its top-left N x N
    // pixels are kept: the last two rows and columns fall outside.
    const int n = FrameSize;
    QImage tile = NewBitmap(n, n, QImage::Format_ARGB32_Premultiplied);
    if (!Piece.isNull()) {
        QPainter painter(&tile);
        SetInterpolationMode(painter, TInterpolation::Bilinear);
        DrawBitmap(painter, Piece, QRectF(0, 0, n + 2, n + 2), Piece.rect());
    }
    return tile;
}

void TOrnateFrameMaker::Render(QImage& Bitmap)
{
    const int32_t n = FrameSize;
    if (n <= 0) {
        // No tile size to repeat: nothing to draw.
        Bitmap = NewBitmap(qMax(Width, 0), qMax(Height, 0));
        return;
    }
    Width = Width < n ? 0 : Width - Width % n;
    Height = Height < n ? 0 : Height - Height % n;
    const int w = Width;
    const int h = Height;

    Bitmap = QImage();
    // Drawn premultiplied, which the painter blends fastest, and handed out
    // as plain ARGB. The pixel limit is checked before the tile is made.
    QImage target = NewBitmap(w, h, QImage::Format_ARGB32_Premultiplied);
    if (target.isNull())
        return;

    const QImage tile = MakeWorkingTile();
    {
        QPainter painter(&target);

        // Texel centres lie on integer coordinates in the frame's geometry,
        // while the painter samples at pixel centres (x + 0.5): the turned
        // brushes are shifted by one pixel where a turn flips an axis, so
        // that every side puts the tile's top row on the outer border.
        const QBrush top = MakeTextureBrush(tile);
        FillPath(painter, Trapezoid({0, 0}, {w, 0}, {w - n, n}, {n, n}), top);

        QBrush right = top;
        TranslateBrushTransform(right, w - n, 0);
        RotateBrushTransform(right, 90);
        FillPath(painter, Trapezoid({w, 0}, {w - n, n}, {w - n, h - n}, {w, h}), right);

        QBrush bottom = top;
        TranslateBrushTransform(bottom, 1, h - n);
        RotateBrushTransform(bottom, 180);
        FillPath(painter, Trapezoid({0, h}, {w, h}, {w - n, h - n}, {n, h - n}), bottom);

        QBrush left = top;
        TranslateBrushTransform(left, 0, 1);
        RotateBrushTransform(left, 270);
        FillPath(painter, Trapezoid({0, 0}, {0, h}, {n, h - n}, {n, n}), left);
    }
    target.convertTo(QImage::Format_ARGB32);
    Bitmap = std::move(target);
}

void TOrnateFrameMaker::LoadPieceFromStream(TMemoryStream& Stream)
{
    Piece = QImage();
    if (!Stream.isOpen())
        Stream.open(QIODevice::ReadOnly);
    TMyStreamAdapter adapter(&Stream, TMyStreamAdapter::soReference);
    Piece = DecodeImageDevice(&adapter);
}

void TOrnateFrameMaker::LoadFromFile(const QString& FileName)
{
    const std::unique_ptr<TFileStreamW> file = OpenFrameFile(FileName);
    TFrameRecord record(RecordSize);
    file->ReadBuffer(record.Data(), RecordSize);
    FrameSize = record.GetInt32(0);
    TDecodeBudget budget = NewLoadBudget(FileName);
    Piece = ReadFramePicture(*file, record.GetUInt32(8), budget);
}

void TOrnateFrameMaker::SaveToFile(const QString& FileName)
{
    const QByteArray picture = EncodeFramePicture(Piece);
    TFrameRecord record(RecordSize);
    record.PutInt32(0, FrameSize);
    record.PutUInt32(8, uint32_t(picture.size()));
    WriteFrameFile(FileName, ftOrnate, record.Bytes(), {picture});
}
