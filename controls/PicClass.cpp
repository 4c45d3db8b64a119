#include "PicClass.h"

#include "ExtMath.h"

TPicClass::TPicClass(QWidget* owner) : TRectBase(owner), Image(std::make_unique<TEffectImage>()) {}

TPicClass::~TPicClass() = default;

void TPicClass::Draw(QPainter& g)
{
    Image->Draw(g, GetRect());
}

void TPicClass::ApplySize()
{
    Image->ResizeDisplay(Width, Height);
}

void TPicClass::DrawScaled(QPainter& g, int offsetX, int offsetY, double scale)
{
    TGPRect dest{X - offsetX, Y - offsetY, Width, Height};
    if (scale >= 0) {
        dest.X = XTrunc(XMul(X - offsetX, scale));
        dest.Y = XTrunc(XMul(Y - offsetY, scale));
        dest.Width = XTrunc(XMul(Width, scale));
        dest.Height = XTrunc(XMul(Height, scale));
    }
    Image->DrawTo(g, dest);
}

void TPicClass::LoadFromFile(const QString& fileName, int boxW, int boxH, const TGPRect& box,
                             bool inset)
{
    int w = boxW;
    int h = boxH;
    // A new picture starts with a new history: the old entries (colour
    // effects keep copies of the old pixels) must not be undone onto it.
    // The old picture stays when the file cannot be decoded.
    auto image = std::make_unique<TEffectImage>();
    image->LoadFromFileFit(fileName, w, h, inset);
    Image = std::move(image);
    Loaded = true;
    PlaceInBox(w, h, box);
}

void TPicClass::LoadFromImage(const QImage& picture, int boxW, int boxH, const TGPRect& box,
                              bool inset)
{
    int w = boxW;
    int h = boxH;
    auto image = std::make_unique<TEffectImage>();
    image->SetImageFit(picture, w, h, inset);
    Image = std::move(image);
    Loaded = true;
    PlaceInBox(w, h, box);
}

void TPicClass::PlaceInBox(int w, int h, const TGPRect& box)
{
    // Integer division truncates toward zero, as the centring asks.
    SetBounds(TGPRect{box.X + (box.Width - w) / 2, box.Y + (box.Height - h) / 2, w, h});
}

void TPicClass::TakeSize(double w, double h)
{
    SetBounds(TGPRect{X, Y, XTrunc(w), XTrunc(h)});
}

void TPicClass::SetRect(const TGPRect& rect)
{
    SetBounds(rect);
}

QImage* TPicClass::GetBitmap() const
{
    return Image->GetSourceBitmap();
}

void TPicClass::DrawPreview(QPainter& g)
{
    Image->DrawPreview(g, GetRect());
}

bool TPicClass::ApplyEffect(std::unique_ptr<TEffectBase> effect)
{
    double w = Width;
    double h = Height;
    const bool recorded = Image->AddEffect(std::move(effect), w, h);
    TakeSize(w, h);
    return recorded;
}

void TPicClass::PreviewEffect(TEffectBase& effect)
{
    double w = Width;
    double h = Height;
    Image->PreviewEffect(effect, w, h);
    TakeSize(w, h);
}

void TPicClass::Undo()
{
    double w = Width;
    double h = Height;
    Image->Undo(w, h);
    TakeSize(w, h);
}

void TPicClass::Redo()
{
    double w = Width;
    double h = Height;
    Image->Redo(w, h);
    TakeSize(w, h);
}
