#pragma once

// The print preview: one sheet of the current printer's paper scaled into
// the control, its printable area marked by four guide lines, and one
// picture on it that the user moves and resizes as on the canvas or places
// at one of nine positions. Printing maps the picture's place on the screen
// sheet to printer pixels and prints its full-resolution picture there.

#include "GdiDraw.h"
#include "PicClass.h"
#include "PrintLayout.h"
#include "PrinterDevice.h"
#include "RectBase.h"

#include <QImage>
#include <QWidget>

#include <memory>

class TPrintPrevew : public QWidget, public TRectOwner
{
public:
    // Prints on the desktop's current printer.
    explicit TPrintPrevew(QWidget* parent = nullptr);
    // Prints on Printer.
    TPrintPrevew(std::unique_ptr<TPrinterDevice> printer, QWidget* parent = nullptr);
    ~TPrintPrevew() override;

    void DeselectAll() override;

    TColorRef GetLineColor() const { return LineColor; }
    TColorRef GetBKColor() const { return BKColor; }
    int GetBordSize() const { return BordSize; }
    // The setters only store the value; the next paint shows it.
    void SetLineColor(TColorRef value) { LineColor = value; }
    void SetBKColor(TColorRef value) { BKColor = value; }
    void SetBordSize(int value) { BordSize = value; }

    // Lays the sheet out, then takes a copy of Bitmap fitted into the
    // printable area (proportions kept, smaller pictures enlarged) and
    // centred in the control. Until the user places the picture, every new
    // size of the control fits it anew into the sheet then shown.
    void SetPicture(const QImage& bitmap);
    // Places the picture at Position (0 top left, clockwise round the edge,
    // 8 the centre) in the printable area, first fitted into it when AutoFit.
    void AlignPicture(int position, bool autoFit);
    // Prints the picture at its place on the sheet, with the metrics the last
    // layout read. Failures are swallowed: nothing is reported.
    void Print();

    // Asks the printer for its metrics, or takes the fallback 800 x 600 paper
    // with offsets of 50 when it cannot answer.
    void ReadPrinterMetrics();
    // ReadPrinterMetrics, then PageRect and PrintableRect for the client size.
    void ComputeLayout();

    TPrinterDevice& Printer() { return *FPrinter; }

    TColorRef LineColor = MakeColorRef(255, 0, 0);
    TColorRef BKColor = MakeColorRef(0xA0, 0xA0, 0xA4);
    int BordSize = 30;
    TGPRect PrintableRect{0, 0, 0, 0};
    TGPRect PageRect{0, 0, 0, 0};
    int32_t PhysicalWidth = 0;
    int32_t PhysicalHeight = 0;
    int32_t PhysicalOffsetX = 0;
    int32_t PhysicalOffsetY = 0;
    std::unique_ptr<TPicClass> PictureObject;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<TPrinterDevice> FPrinter;
    TPrintLayout Layout;
    // Where SetPicture put the picture; while it lies there, the user has
    // not placed it.
    TGPRect FFittedRect{0, 0, 0, 0};
};
