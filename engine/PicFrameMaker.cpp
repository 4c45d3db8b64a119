#include "PicFrameMaker.h"

#include "FrameRecord.h"
#include "GPPath.h"
#include "MyGdiPlus.h"
#include "UniFuncs.h"

#include <limits>

namespace {

constexpr int RecordSize = 56;

bool FitsInt(int64_t Value)
{
    return Value >= std::numeric_limits<int>::min() && Value <= std::numeric_limits<int>::max();
}

// A piece at its own size with its top-left corner at (X, Y).
void DrawNatural(QPainter& Painter, const QImage& Piece, int64_t X, int64_t Y)
{
    if (Piece.isNull() || !FitsInt(X) || !FitsInt(Y))
        return;
    Painter.drawImage(QPoint(int(X), int(Y)), Piece);
}

// The piece repeated from (OffsetX, OffsetY) in rows and columns of its own
// size, cut off at the rectangle. An empty rectangle draws nothing.
void DrawStrip(QPainter& Painter, const QImage& Piece, int64_t X, int64_t Y, int64_t W, int64_t H,
               int64_t OffsetX, int64_t OffsetY)
{
    if (Piece.isNull() || W <= 0 || H <= 0)
        return;
    if (!FitsInt(X) || !FitsInt(Y) || !FitsInt(W) || !FitsInt(H) || !FitsInt(X + W) ||
        !FitsInt(Y + H) || !FitsInt(OffsetX) || !FitsInt(OffsetY))
        return;
    QBrush brush = MakeTextureBrush(Piece);
    TranslateBrushTransform(brush, double(OffsetX), double(OffsetY));
    TGPPath path(TFillMode::Alternate);
    path.AddRectangle(QRectF(double(X), double(Y), double(W), double(H)));
    FillPath(Painter, path, brush);
}

} // namespace

int32_t TPicFrameMaker::GetAddedWidth() const
{
    return SaturateToInt32(int64_t(PieceWidth(piLeft)) + PieceWidth(piRight));
}

int32_t TPicFrameMaker::GetAddedHeight() const
{
    return SaturateToInt32(int64_t(PieceHeight(piTop)) + PieceHeight(piBottom));
}

int32_t TPicFrameMaker::GetTopBand() const
{
    return PieceHeight(piTop);
}

int32_t TPicFrameMaker::GetLeftBand() const
{
    return PieceWidth(piLeft);
}

void TPicFrameMaker::SetPiece(const QImage& Bitmap, int Index)
{
    if (Index < 0 || Index >= PieceCount)
        return;
    Pieces[Index] = Bitmap.isNull() ? QImage() : CopyBitmap(Bitmap);
    Loaded = true;
}

void TPicFrameMaker::Render(QImage& Bitmap)
{
    if (!Loaded)
        return;
    Bitmap = QImage();
    // Drawn premultiplied, which the painter blends fastest, and handed out
    // as plain ARGB.
    QImage target = NewBitmap(Width, Height, QImage::Format_ARGB32_Premultiplied);
    if (target.isNull())
        return;

    // Sizes are summed in 64 bits: pieces and output together may exceed
    // the 32-bit range.
    int64_t w[PieceCount];
    int64_t h[PieceCount];
    for (int i = 0; i < PieceCount; ++i) {
        w[i] = PieceWidth(i);
        h[i] = PieceHeight(i);
    }
    const int64_t W = Width;
    const int64_t H = Height;
    {
        QPainter g(&target);
        const auto& p = Pieces;
        DrawNatural(g, p[piTopLeft], 0, 0);
        DrawNatural(g, p[piTopRight], W - w[2], 0);
        DrawStrip(g, p[piTop], w[0], 0, W - w[0] - w[2], h[0], w[0], 0);
        DrawNatural(g, p[piRightUpper], W - w[3], h[2]);
        DrawNatural(g, p[piRightLower], W - w[5], H - h[6] - h[5]);
        DrawStrip(g, p[piRight], W - w[4], h[2] + h[3], w[4], H - h[2] - h[3] - h[5] - h[6],
                  W - w[4], h[2] + h[3]);
        DrawNatural(g, p[piBottomLeft], 0, H - h[8]);
        DrawNatural(g, p[piBottomRight], W - w[6], H - h[6]);
        // The bottom strip starts at the corner's top edge, its brush at
        // the edge piece's own.
        DrawStrip(g, p[piBottom], w[8], H - h[8], W - w[8] - w[6], h[8], w[8], H - h[7]);
        DrawNatural(g, p[piLeftUpper], 0, h[0]);
        DrawNatural(g, p[piLeftLower], 0, H - h[8] - h[9]);
        DrawStrip(g, p[piLeft], 0, h[0] + h[11], w[10], H - h[0] - h[11] - h[9] - h[8], 0,
                  h[0] + h[11]);
    }
    target.convertTo(QImage::Format_ARGB32);
    Bitmap = std::move(target);
}

void TPicFrameMaker::LoadFromFile(const QString& FileName)
{
    const std::unique_ptr<TFileStreamW> file = OpenFrameFile(FileName);
    TFrameRecord record(RecordSize);
    file->ReadBuffer(record.Data(), RecordSize);
    TDecodeBudget budget = NewLoadBudget(FileName);
    for (int i = 0; i < PieceCount; ++i) {
        const uint32_t count = record.GetUInt32(8 + 4 * i);
        if (count != 0)
            Pieces[i] = ReadFramePicture(*file, count, budget);
    }
    Loaded = true;
}

void TPicFrameMaker::SaveToFile(const QString& FileName)
{
    std::vector<QSize> sizes;
    for (const QImage& piece : Pieces)
        sizes.push_back(piece.size());
    if (!PicturesFitFrameFile(sizes))
        TDecodeBudget(FileName, FrameFileBudget).RaiseTooLarge();
    // Every piece is encoded first; an absent one has a count of 0 and no
    // bytes, so the pictures follow the record back to back.
    std::vector<QByteArray> pictures(PieceCount);
    TFrameRecord record(RecordSize);
    for (int i = 0; i < PieceCount; ++i) {
        pictures[i] = EncodeFramePicture(Pieces[i]);
        record.PutUInt32(8 + 4 * i, uint32_t(pictures[i].size()));
    }
    WriteFrameFile(FileName, ftPicture, record.Bytes(), pictures);
}
