#include "SimapleFrameMaker.h"

#include "FrameRecord.h"

#include <QPainter>

#include <vector>

namespace {

// The 40-byte record of a simple frame file.
constexpr int kRecordSize = 40;
constexpr int kFrameWidth = 0;
constexpr int kFrameHeight = 4;
constexpr int kInnerEdge = 8;
constexpr int kInnerEdgeColor = 12;
constexpr int kOutEdge = 16;
constexpr int kOutEdgeColor = 20;
constexpr int kShape = 24;
constexpr int kUseTexture = 25;
constexpr int kBackColor = 28;
constexpr int kTextureCount = 32;
constexpr int kFileWord = 36;

} // namespace

int32_t TSimapleFrameMaker::GetAddedWidth() const
{
    return SaturateToInt32(2 * (int64_t(OutEdge) + InnerEdge + FrameWidth));
}

int32_t TSimapleFrameMaker::GetAddedHeight() const
{
    return SaturateToInt32(2 * (int64_t(OutEdge) + InnerEdge + FrameHeight));
}

int32_t TSimapleFrameMaker::GetTopBand() const
{
    return SaturateToInt32(int64_t(OutEdge) + InnerEdge + FrameHeight);
}

int32_t TSimapleFrameMaker::GetLeftBand() const
{
    return SaturateToInt32(int64_t(OutEdge) + InnerEdge + FrameWidth);
}

void TSimapleFrameMaker::AddOpening(TGPPath& Path, int64_t K) const
{
    // Sums of file fields may leave the 32-bit range: work in 64 bits and
    // doubles, which hold them exactly.
    const double left = double(K + FrameWidth);
    const double top = double(K + FrameHeight);
    const double right = double(int64_t(Width) - K - FrameWidth);
    const double bottom = double(int64_t(Height) - K - FrameHeight);
    const QRectF box(left, top, right - left, bottom - top);
    switch (Shape) {
    case shRectangle:
        Path.AddRectangle(box);
        break;
    case shEllipse:
        Path.AddEllipse(box);
        break;
    case shDiamond: {
        if (!(right > left) || !(bottom > top))
            break;
        // Single-precision vertices; an odd size puts the middle on .5.
        const float midX = float(Width) / 2.0f;
        const float midY = float(Height) / 2.0f;
        Path.AddPolygon({QPointF(float(left), midY), QPointF(midX, float(top)),
                         QPointF(float(right), midY), QPointF(midX, float(bottom))});
        break;
    }
    default:
        break;
    }
}

void TSimapleFrameMaker::GetOuterEdgePath(std::unique_ptr<TGPPath>& Path)
{
    Path = std::make_unique<TGPPath>(TFillMode::Alternate);
    const int64_t o = OutEdge;
    Path->AddRectangle(QRectF(0, 0, Width, Height));
    Path->AddRectangle(QRectF(double(o), double(o), double(Width - 2 * o), double(Height - 2 * o)));
}

void TSimapleFrameMaker::GetBandPath(std::unique_ptr<TGPPath>& Path)
{
    Path = std::make_unique<TGPPath>(TFillMode::Alternate);
    if (Shape > shDiamond)
        return;
    const int64_t o = OutEdge;
    Path->AddRectangle(QRectF(double(o), double(o), double(Width - 2 * o), double(Height - 2 * o)));
    AddOpening(*Path, o);
}

void TSimapleFrameMaker::GetInnerEdgePath(std::unique_ptr<TGPPath>& Path)
{
    Path = std::make_unique<TGPPath>(TFillMode::Alternate);
    if (Shape > shDiamond)
        return;
    AddOpening(*Path, OutEdge);
    AddOpening(*Path, int64_t(OutEdge) + InnerEdge);
}

void TSimapleFrameMaker::MakePen(std::unique_ptr<QPen>& Pen, uint16_t Kind)
{
    if (Kind == pkOutEdge)
        Pen = std::make_unique<QPen>(MakeSolidPen(ColorRefToColor(OutEdgeColor), OutEdge));
    else if (Kind == pkInnerEdge)
        Pen = std::make_unique<QPen>(MakeSolidPen(ColorRefToColor(InnerEdgeColor), InnerEdge));
}

void TSimapleFrameMaker::MakeBrush(std::unique_ptr<QBrush>& Brush, uint16_t Kind) const
{
    Brush.reset();
    switch (Kind) {
    case bkOutEdge:
        Brush = std::make_unique<QBrush>(MakeSolidBrush(ColorRefToColor(OutEdgeColor)));
        break;
    case bkBand:
        // Without a usable texture the brush fills nothing and the band
        // stays transparent.
        Brush = std::make_unique<QBrush>(UseTexture ? MakeTextureBrush(Texture)
                                                    : MakeSolidBrush(ColorRefToColor(BackColor)));
        break;
    case bkInnerEdge:
        Brush = std::make_unique<QBrush>(MakeSolidBrush(ColorRefToColor(InnerEdgeColor)));
        break;
    default:
        break;
    }
}

void TSimapleFrameMaker::Render(QImage& Bitmap)
{
    Bitmap = QImage();
    Bitmap = NewBitmap(Width, Height);
    if (Bitmap.isNull())
        return;
    QPainter g(&Bitmap);

    std::unique_ptr<QBrush> outBrush, bandBrush, innerBrush;
    MakeBrush(outBrush, bkOutEdge);
    MakeBrush(bandBrush, bkBand);
    MakeBrush(innerBrush, bkInnerEdge);

    std::unique_ptr<TGPPath> outPath, bandPath, innerPath;
    GetOuterEdgePath(outPath);
    GetBandPath(bandPath);
    GetInnerEdgePath(innerPath);

    FillPath(g, *outPath, *outBrush);
    FillPath(g, *bandPath, *bandBrush);
    FillPath(g, *innerPath, *innerBrush);
}

void TSimapleFrameMaker::LoadTextureFromStream(TMemoryStream& Stream)
{
    Texture = QImage();
    Texture = DecodeImageBytes(Stream.data());
}

QImage TSimapleFrameMaker::GetTexture() const
{
    return UseTexture ? Texture : QImage();
}

void TSimapleFrameMaker::LoadFromFile(const QString& FileName)
{
    std::unique_ptr<TFileStreamW> file = OpenFrameFile(FileName);
    TFrameRecord record(kRecordSize);
    file->ReadBuffer(record.Data(), kRecordSize);

    FrameWidth = record.GetInt32(kFrameWidth);
    FrameHeight = record.GetInt32(kFrameHeight);
    InnerEdge = record.GetInt32(kInnerEdge);
    InnerEdgeColor = record.GetUInt32(kInnerEdgeColor);
    OutEdge = record.GetInt32(kOutEdge);
    OutEdgeColor = record.GetUInt32(kOutEdgeColor);
    Shape = record.GetByte(kShape);
    UseTexture = record.GetByte(kUseTexture) != 0;
    BackColor = record.GetUInt32(kBackColor);
    FileWord = record.GetUInt16(kFileWord);

    if (UseTexture) {
        TDecodeBudget budget = NewLoadBudget(FileName);
        Texture = ReadFramePicture(*file, record.GetUInt32(kTextureCount), budget);
    }
}

void TSimapleFrameMaker::SaveToFile(const QString& FileName)
{
    std::vector<QByteArray> pictures;
    if (UseTexture)
        pictures.push_back(EncodeFramePicture(Texture));
    const uint32_t count = pictures.empty() ? 0 : uint32_t(pictures.front().size());

    TFrameRecord record(kRecordSize);
    record.PutInt32(kFrameWidth, FrameWidth);
    record.PutInt32(kFrameHeight, FrameHeight);
    record.PutInt32(kInnerEdge, InnerEdge);
    record.PutUInt32(kInnerEdgeColor, InnerEdgeColor);
    record.PutInt32(kOutEdge, OutEdge);
    record.PutUInt32(kOutEdgeColor, OutEdgeColor);
    record.PutByte(kShape, Shape);
    record.PutByte(kUseTexture, UseTexture ? 1 : 0);
    record.PutUInt32(kBackColor, BackColor);
    record.PutUInt32(kTextureCount, count);
    record.PutUInt16(kFileWord, FileWord);
    WriteFrameFile(FileName, ftSimple, record.Bytes(), pictures);
}
