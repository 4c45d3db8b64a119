#include "FrameClass.h"

#include "DecodeBudget.h"
#include "ExtMath.h"

#include <exception>

TFrameClass::TFrameClass(QWidget* owner) : TPicClass(owner)
{
    KeepAspect = false;
}

bool TFrameClass::HitTest(int px, int py)
{
    if (GPRectContains(GetRect(), TGPPoint{px, py})) {
        const QImage* display = Image->GetDisplayImage();
        const int ix = px - X;
        const int iy = py - Y;
        // A pixel that cannot be read counts as transparent.
        if (display && display->valid(ix, iy) && qAlpha(display->pixel(ix, iy)) > 0)
            return true;
    }
    return Selected && HandleAt(CalcHandleSquares(GetRect()), px, py) >= 0;
}

void TFrameClass::LoadFromFile(const QString& fileName, int boxW, int boxH, const TGPRect& box,
                               bool inset)
{
    // A new picture starts with a new history.
    auto image = std::make_unique<TEffectImage>();
    try {
        image->LoadFromFile(fileName, boxW, boxH, inset);
    } catch (const EPictureTooLarge&) {
        // Refused for its size: the frame stays as it was.
        throw;
    } catch (const std::exception&) {
        // A frame file that cannot be read leaves an empty picture of the
        // requested size instead of failing.
        image->SetBitmap(QImage(), boxW, boxH, inset);
    }
    Image = std::move(image);
    Loaded = true;
    SetBounds(TGPRect{box.X + XRound(XDiv(box.Width - boxW, 2)),
                      box.Y + XRound(XDiv(box.Height - boxH, 2)), boxW, boxH});
}
