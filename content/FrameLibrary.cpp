#include "FrameLibrary.h"

#include "GdiDraw.h"
#include "OrnateFrameMaker.h"
#include "PicFrameMaker.h"
#include "SimapleFrameMaker.h"
#include "TexturePainter.h"

#include <stdexcept>

namespace {

struct TSimpleDesign
{
    uint8_t Shape;
    int FrameWidth;
    int FrameHeight;
    QRgb Back;
    int OutEdge;
    QRgb OutEdgeColour;
    int InnerEdge;
    QRgb InnerEdgeColour;
    const char* Texture; // a bkpic file name, or null for the plain colour
};

TColorRef Ref(QRgb Colour)
{
    return MakeColorRef(qRed(Colour), qGreen(Colour), qBlue(Colour));
}

std::unique_ptr<TFrameMakerBase> MakeSimple(const TSimpleDesign& Design)
{
    auto maker = std::make_unique<TSimapleFrameMaker>();
    maker->SetShape(Design.Shape);
    maker->SetFrameWidth(Design.FrameWidth);
    maker->SetFrameHeight(Design.FrameHeight);
    maker->SetBackColor(Ref(Design.Back));
    maker->SetOutEdge(Design.OutEdge);
    maker->SetOutEdgeColor(Ref(Design.OutEdgeColour));
    maker->SetInnerEdge(Design.InnerEdge);
    maker->SetInnerEdgeColor(Ref(Design.InnerEdgeColour));
    if (Design.Texture) {
        const TTexturePainter::TTexture* texture =
            TTexturePainter::Find(QString::fromLatin1(Design.Texture));
        if (!texture)
            throw std::logic_error(std::string("no texture ") + Design.Texture);
        TMemoryStream stream;
        stream.open(QIODevice::ReadWrite);
        SaveBitmapToJpegStream(TTexturePainter::Paint(*texture), stream);
        stream.seek(0);
        maker->LoadTextureFromStream(stream);
        maker->SetUseTexture(true);
    }
    return maker;
}

std::function<std::unique_ptr<TFrameMakerBase>()> Simple(TSimpleDesign Design)
{
    return [Design] { return MakeSimple(Design); };
}

std::function<std::unique_ptr<TFrameMakerBase>()> Ornate(TOrnateTilePainter::TDesign Design,
                                                         int FrameSize)
{
    return [=] { return TFrameLibrary::MakeOrnateFrame(Design, FrameSize); };
}

std::function<std::unique_ptr<TFrameMakerBase>()> Picture(TMoldingPainter::TStyle Style, int Band,
                                                          int End, int Period)
{
    return [=] { return TFrameLibrary::MakePictureFrame(Style, Band, End, Period); };
}

constexpr uint8_t Rect = TSimapleFrameMaker::shRectangle;
constexpr uint8_t Oval = TSimapleFrameMaker::shEllipse;
constexpr uint8_t Diamond = TSimapleFrameMaker::shDiamond;

} // namespace

std::unique_ptr<TFrameMakerBase> TFrameLibrary::MakeOrnateFrame(TOrnateTilePainter::TDesign Design,
                                                                int FrameSize)
{
    auto maker = std::make_unique<TOrnateFrameMaker>();
    maker->SetFrameSize(FrameSize);
    TMemoryStream stream;
    stream.open(QIODevice::ReadWrite);
    SaveBitmapToJpegStream(TOrnateTilePainter::Paint(Design), stream);
    stream.seek(0);
    maker->LoadPieceFromStream(stream);
    return maker;
}

std::unique_ptr<TFrameMakerBase> TFrameLibrary::MakePictureFrame(TMoldingPainter::TStyle Style,
                                                                 int Band, int End, int Period)
{
    const QImage picture = TMoldingPainter::FramePicture(Style, Band, End, Period);
    const int b = Band;
    const int e = End;
    const int l = Period;
    const int right = b + l;                 // left edge of the right-hand column
    const int bottom = picture.height() - b; // top edge of the bottom row
    // The grid of cuts, clockwise from the top-left corner.
    const QRect pieces[TPicFrameMaker::PieceCount] = {
        {0, 0, b, b},             // top-left corner
        {b, 0, l, b},             // top strip
        {right, 0, b, b},         // top-right corner
        {right, b, b, e},         // right, upper end
        {right, b + e, b, l},     // right strip
        {right, b + e + l, b, e}, // right, lower end
        {right, bottom, b, b},    // bottom-right corner
        {b, bottom, l, b},        // bottom strip
        {0, bottom, b, b},        // bottom-left corner
        {0, b + e + l, b, e},     // left, lower end
        {0, b + e, b, l},         // left strip
        {0, b, b, e},             // left, upper end
    };
    auto maker = std::make_unique<TPicFrameMaker>();
    for (int i = 0; i < TPicFrameMaker::PieceCount; ++i)
        maker->SetPiece(picture.copy(pieces[i]).convertToFormat(QImage::Format_RGB32), i);
    return maker;
}

const std::vector<TFrameItem>& TFrameLibrary::Catalogue()
{
    using D = TOrnateTilePainter::TDesign;
    using S = TMoldingPainter::TStyle;
    const QRgb white = qRgb(255, 255, 255);
    const QRgb gold = qRgb(215, 175, 80);
    static const std::vector<TFrameItem> items = {
        {"Classic", "sky-blue-oval.okx",
         Simple({Oval, 20, 20, qRgb(166, 202, 240), 1, white, 1, white, nullptr})},
        {"Classic", "black-mat.okx",
         Simple({Rect, 40, 40, qRgb(20, 20, 22), 2, qRgb(90, 90, 90), 3, white, nullptr})},
        {"Classic", "ivory-mat.okx",
         Simple({Rect, 50, 50, qRgb(245, 240, 225), 3, qRgb(120, 100, 80), 2, gold, nullptr})},
        {"Classic", "ruby-diamond.okx",
         Simple({Diamond, 60, 60, qRgb(170, 25, 40), 2, gold, 2, gold, nullptr})},
        {"Classic", "navy-oval.okx",
         Simple({Oval, 45, 45, qRgb(30, 45, 90), 2, qRgb(200, 200, 210), 2, qRgb(200, 200, 210),
                 nullptr})},
        {"Classic", "forest-green.okx",
         Simple({Rect, 30, 30, qRgb(40, 90, 50), 1, qRgb(230, 210, 150), 2, qRgb(230, 210, 150),
                 nullptr})},
        {"Classic", "rose-oval.okx",
         Simple({Oval, 35, 35, qRgb(240, 170, 190), 2, white, 2, white, nullptr})},
        {"Classic", "charcoal-wide.okx",
         Simple(
             {Rect, 60, 40, qRgb(50, 50, 55), 1, qRgb(0, 0, 0), 4, qRgb(230, 230, 230), nullptr})},
        {"Textured", "walnut.okx",
         Simple({Rect, 40, 40, 0, 2, qRgb(50, 30, 15), 2, gold, "walnut.jpg"})},
        {"Textured", "white-marble-oval.okx",
         Simple({Oval, 50, 50, 0, 1, qRgb(120, 120, 130), 3, qRgb(120, 120, 130),
                 "white-marble.jpg"})},
        {"Textured", "linen-mat.okx",
         Simple({Rect, 60, 60, 0, 1, qRgb(150, 130, 100), 2, qRgb(150, 130, 100), "linen.jpg"})},
        {"Textured", "gold-leaf.okx",
         Simple({Rect, 30, 30, 0, 2, qRgb(120, 80, 20), 1, qRgb(120, 80, 20), "gold-leaf.jpg"})},
        {"Textured", "slate-diamond.okx",
         Simple({Diamond, 55, 55, 0, 2, qRgb(20, 20, 25), 2, qRgb(200, 200, 205), "slate.jpg"})},
        {"Textured", "red-velvet-oval.okx",
         Simple({Oval, 45, 45, 0, 1, gold, 3, gold, "red-velvet.jpg"})},
        {"Textured", "brushed-silver.okx",
         Simple({Rect, 25, 25, 0, 1, qRgb(100, 100, 110), 1, qRgb(100, 100, 110),
                 "brushed-silver.jpg"})},
        {"Textured", "cork-board.okx",
         Simple({Rect, 35, 35, 0, 3, qRgb(110, 70, 35), 1, qRgb(110, 70, 35), "cork.jpg"})},
        {"Ornate", "gold-beads.okx", Ornate(D::GoldBeads, 32)},
        {"Ornate", "rope.okx", Ornate(D::Rope, 24)},
        {"Ornate", "greek-key.okx", Ornate(D::GreekKey, 30)},
        {"Ornate", "ivy.okx", Ornate(D::Ivy, 36)},
        {"Ornate", "hearts.okx", Ornate(D::Hearts, 28)},
        {"Ornate", "checker.okx", Ornate(D::Checker, 20)},
        {"Ornate", "gold-scroll.okx", Ornate(D::GoldScroll, 40)},
        {"Ornate", "pearls.okx", Ornate(D::Pearls, 26)},
        {"Gallery", "gilded.okx", Picture(S::Gilded, 48, 24, 64)},
        {"Gallery", "walnut-moulding.okx", Picture(S::Walnut, 40, 20, 64)},
        {"Gallery", "silver-rope.okx", Picture(S::SilverRope, 36, 20, 48)},
        {"Gallery", "black-gallery.okx", Picture(S::BlackGallery, 30, 16, 32)},
        {"Gallery", "baroque.okx", Picture(S::Baroque, 56, 28, 72)},
        {"Gallery", "rustic-barn.okx", Picture(S::Rustic, 44, 20, 64)},
        {"Gallery", "shabby-white.okx", Picture(S::Shabby, 40, 20, 64)},
        {"Gallery", "bamboo.okx", Picture(S::Bamboo, 28, 16, 80)},
    };
    return items;
}
