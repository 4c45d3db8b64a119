#pragma once

// The print preview's arithmetic: the sheet and its printable area scaled
// into the control, the nine places of a picture in the printable area, and
// the picture's place on the screen sheet mapped to printer pixels.

#include "GdiDraw.h"
#include "PrinterDevice.h"

#include <cstdint>

// Printer pixels from the printable area's top-left corner; Right and Bottom
// are the last pixels drawn (one inside Left + width and Top + height).
struct TPrintTarget
{
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

class TPrintLayout
{
public:
    // What the preview uses when the printer cannot be asked.
    static TPrinterMetrics FallbackMetrics() { return TPrinterMetrics{800, 600, 50, 50}; }

    // Lays the sheet out in a control of ClientWidth x ClientHeight keeping
    // BordSize free on each side: the scale k fits the paper into the box,
    // PageRect is the sheet centred in the control and PrintableRect the
    // printable area centred likewise (the left offset taken on both sides,
    // the top offset on top and bottom). Sizes truncate toward zero.
    void Compute(const TPrinterMetrics& metrics, int clientWidth, int clientHeight, int bordSize);

    // The picture's new rectangle for Position 0..8 (top left, then clockwise
    // round the edge, 8 the centre) in the printable area P. AutoFit first
    // fits SourceW x SourceH into P with its proportions kept and centres it;
    // otherwise R keeps its size. Any other Position leaves R as the fit made
    // it.
    static TGPRect AlignRect(const TGPRect& p, TGPRect r, int position, bool autoFit, int sourceW,
                             int sourceH);

    // R on the screen sheet in printer pixels, with the printer scale
    // (printable width in printer pixels per printable width on the screen)
    // for both directions. False when the printable area on the screen is
    // empty and there is no scale.
    bool MapToPrinter(const TGPRect& r, TPrintTarget& target) const;

    TPrinterMetrics Metrics = FallbackMetrics();
    double Scale = 0;
    TGPRect PageRect{0, 0, 0, 0};
    TGPRect PrintableRect{0, 0, 0, 0};
};
