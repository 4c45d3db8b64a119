#include "OrnateFrameDesign.h"

#include "FrameMakerBase.h"
#include "MyGdiPlus.h"

#include <QPainter>

std::unique_ptr<TOrnateFrameMaker> TOrnateFrameDesign::MakeGenerator(TMemoryStream& Stream) const
{
    auto maker = std::make_unique<TOrnateFrameMaker>();
    maker->SetFrameSize(FrameSize);
    SaveBitmapToJpegStream(TilePicture, Stream);
    maker->LoadPieceFromStream(Stream);
    return maker;
}

TOrnateFrameDesign TOrnateFrameDesign::FromFile(const QString& FileName)
{
    TOrnateFrameMaker maker;
    maker.LoadFromFile(FileName);
    TOrnateFrameDesign design;
    design.FrameSize = maker.GetFrameSize();
    design.TilePicture = CopyBitmap(maker.GetPiece());
    return design;
}

void TOrnateFrameDesign::Save(const QString& FileName) const
{
    TMemoryStream stream;
    MakeGenerator(stream)->SaveToFile(FileName);
}

QImage TOrnateFrameDesign::Preview(int Width, int Height) const
{
    QImage box = NewBitmap(Width, Height);
    box.fill(Qt::white);
    TMemoryStream stream;
    std::unique_ptr<TOrnateFrameMaker> maker = MakeGenerator(stream);
    maker->SetWidth(Width);
    maker->SetHeight(Height);
    QImage frame;
    maker->Render(frame);
    QPainter painter(&box);
    DrawBitmap(painter, frame, QRectF(0, 0, Width, Height), frame.rect(), TInterpolation::Default);
    return box;
}
