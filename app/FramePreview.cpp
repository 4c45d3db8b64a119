#include "FramePreview.h"

#include "FrameMakerBase.h"
#include "MyGdiPlus.h"

#include <QPainter>

QImage RenderOnWhite(TFrameMakerBase& Maker, int Width, int Height)
{
    QImage box = NewBitmap(Width, Height);
    box.fill(Qt::white);
    Maker.SetWidth(Width);
    Maker.SetHeight(Height);
    QImage frame;
    Maker.Render(frame);
    QPainter painter(&box);
    SetInterpolationMode(painter, TInterpolation::Default);
    DrawBitmap(painter, frame, QRectF(0, 0, Width, Height), frame.rect());
    return box;
}
