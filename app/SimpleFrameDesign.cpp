#include "SimpleFrameDesign.h"

#include "FrameMakerBase.h"
#include "FramePreview.h"
#include "MyGdiPlus.h"

std::unique_ptr<TSimapleFrameMaker> TSimpleFrameDesign::MakeGenerator(TMemoryStream& Stream) const
{
    auto maker = std::make_unique<TSimapleFrameMaker>();
    maker->SetOutEdge(OutEdge);
    maker->SetOutEdgeColor(OutEdgeColor);
    maker->SetInnerEdge(InnerEdge);
    maker->SetInnerEdgeColor(InnerEdgeColor);
    maker->SetFrameWidth(FrameWidth);
    maker->SetFrameHeight(FrameHeight);
    maker->SetUseTexture(UsePicture);
    if (UsePicture) {
        // The picture goes through JPEG so that the preview shows exactly
        // what the frame file will hold.
        SaveBitmapToJpegStream(BackPicture, Stream);
        maker->LoadTextureFromStream(Stream);
    } else {
        maker->SetBackColor(BackColor);
    }
    maker->SetShape(Shape);
    return maker;
}

TSimpleFrameDesign TSimpleFrameDesign::FromFile(const QString& FileName)
{
    TSimapleFrameMaker maker;
    maker.LoadFromFile(FileName);
    TSimpleFrameDesign design;
    design.OutEdge = maker.GetOutEdge();
    design.OutEdgeColor = maker.GetOutEdgeColor();
    design.InnerEdge = maker.GetInnerEdge();
    design.InnerEdgeColor = maker.GetInnerEdgeColor();
    design.FrameWidth = maker.GetFrameWidth();
    design.FrameHeight = maker.GetFrameHeight();
    design.UsePicture = maker.GetUseTexture();
    if (design.UsePicture)
        design.BackPicture = CopyBitmap(maker.GetTexture());
    else
        design.BackColor = maker.GetBackColor();
    design.Shape = maker.GetShape();
    return design;
}

void TSimpleFrameDesign::Save(const QString& FileName) const
{
    TMemoryStream stream;
    MakeGenerator(stream)->SaveToFile(FileName);
}

QImage TSimpleFrameDesign::Preview(int Width, int Height) const
{
    TMemoryStream stream;
    return RenderOnWhite(*MakeGenerator(stream), Width, Height);
}
