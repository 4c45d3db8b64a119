#include "OrnateFrameDesign.h"

#include "FrameMakerBase.h"
#include "FramePreview.h"
#include "MyGdiPlus.h"

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
    TMemoryStream stream;
    return RenderOnWhite(*MakeGenerator(stream), Width, Height);
}
