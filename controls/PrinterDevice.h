#pragma once

// The printer as the print preview sees it: its paper and printable area in
// printer pixels, one-picture documents and its set-up dialog. The program
// prints through TSystemPrinter; tests stand in for it.

#include <QImage>
#include <QRect>

#include <cstdint>

class QWidget;

struct TPrinterMetrics
{
    int32_t PhysicalWidth = 0;
    int32_t PhysicalHeight = 0;
    int32_t PhysicalOffsetX = 0;
    int32_t PhysicalOffsetY = 0;
};

class TPrinterDevice
{
public:
    virtual ~TPrinterDevice() = default;

    // False when no printer is installed: there is nothing to set up or to
    // print on.
    virtual bool HasPrinter() const = 0;
    // The paper size and the printable area's distance from the paper's left
    // and top edge; false when there is no printer or it cannot answer.
    virtual bool ReadMetrics(TPrinterMetrics& metrics) = 0;
    // One document of one page with Picture stretched into Target, in printer
    // pixels whose origin is the printable area's top-left corner. Raises an
    // error when the document cannot be made.
    virtual void PrintPicture(const QImage& picture, const QRect& target) = 0;
    // The platform's printer set-up dialog; true when the user confirmed it.
    virtual bool ShowSetupDialog(QWidget* parent) = 0;
};
