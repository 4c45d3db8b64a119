#include "PrintLayout.h"

#include "ExtMath.h"

void TPrintLayout::Compute(const TPrinterMetrics& metrics, int clientWidth, int clientHeight,
                           int bordSize)
{
    Metrics = metrics;
    const int boxW = clientWidth - 2 * bordSize;
    const int boxH = clientHeight - 2 * bordSize;
    // A control too small for its margins, or a printer without paper, shows
    // an empty sheet rather than dividing by zero.
    if (boxW <= 0 || boxH <= 0 || metrics.PhysicalWidth <= 0 || metrics.PhysicalHeight <= 0)
        Scale = 0;
    else if (XDiv(metrics.PhysicalHeight, boxH) >= XDiv(metrics.PhysicalWidth, boxW))
        Scale = double(XDiv(boxH, metrics.PhysicalHeight));
    else
        Scale = double(XDiv(boxW, metrics.PhysicalWidth));

    PageRect.Width = XTrunc(XMul(metrics.PhysicalWidth, Scale));
    PageRect.Height = XTrunc(XMul(metrics.PhysicalHeight, Scale));
    PageRect.X = (clientWidth - PageRect.Width) / 2;
    PageRect.Y = (clientHeight - PageRect.Height) / 2;

    PrintableRect.Width = PageRect.Width - XTrunc(XMul(2.0 * metrics.PhysicalOffsetX, Scale));
    PrintableRect.Height = PageRect.Height - XTrunc(XMul(2.0 * metrics.PhysicalOffsetY, Scale));
    PrintableRect.X = (clientWidth - PrintableRect.Width) / 2;
    PrintableRect.Y = (clientHeight - PrintableRect.Height) / 2;
}

TGPRect TPrintLayout::AlignRect(const TGPRect& p, TGPRect r, int position, bool autoFit,
                                int sourceW, int sourceH)
{
    if (autoFit && sourceW > 0 && sourceH > 0) {
        double s;
        if (XDiv(sourceW, p.Width) > XDiv(sourceH, p.Height))
            s = double(XDiv(p.Width, sourceW));
        else
            s = double(XDiv(p.Height, sourceH));
        r.Width = XTrunc(XMul(sourceW, s));
        r.Height = XTrunc(XMul(sourceH, s));
        r.X = p.X + (p.Width - r.Width) / 2;
        r.Y = p.Y + (p.Height - r.Height) / 2;
    }

    const int left = p.X;
    const int centreX = p.X + (p.Width - r.Width) / 2;
    const int right = p.X + p.Width - r.Width;
    const int top = p.Y;
    const int centreY = p.Y + (p.Height - r.Height) / 2;
    const int bottom = p.Y + p.Height - r.Height;
    switch (position) {
    case 0:
        r.X = left;
        r.Y = top;
        break;
    case 1:
        r.X = centreX;
        r.Y = top;
        break;
    case 2:
        r.X = right;
        r.Y = top;
        break;
    case 3:
        r.X = right;
        r.Y = centreY;
        break;
    case 4:
        r.X = right;
        r.Y = bottom;
        break;
    case 5:
        r.X = centreX;
        r.Y = bottom;
        break;
    case 6:
        r.X = left;
        r.Y = bottom;
        break;
    case 7:
        r.X = left;
        r.Y = centreY;
        break;
    case 8:
        r.X = centreX;
        r.Y = centreY;
        break;
    default:
        break;
    }
    return r;
}

bool TPrintLayout::MapToPrinter(const TGPRect& r, TPrintTarget& target) const
{
    if (PrintableRect.Width <= 0)
        return false;
    const double q =
        double(XDiv(Metrics.PhysicalWidth - 2.0 * Metrics.PhysicalOffsetX, PrintableRect.Width));
    target.Left = XTrunc(XMul(r.X - PrintableRect.X, q));
    target.Top = XTrunc(XMul(r.Y - PrintableRect.Y, q));
    target.Right = target.Left + XTrunc(XMul(r.Width, q)) - 1;
    target.Bottom = target.Top + XTrunc(XMul(r.Height, q)) - 1;
    return true;
}
