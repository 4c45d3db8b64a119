#pragma once

// The current printer of the desktop (Qt's print support): the default
// printer when none is given.

#include "PrinterDevice.h"

#include <memory>

class QPrinter;

class TSystemPrinter : public TPrinterDevice
{
public:
    // The desktop's default printer.
    TSystemPrinter();
    // The given printer, e.g. one that writes a PDF file.
    explicit TSystemPrinter(std::unique_ptr<QPrinter> printer);
    ~TSystemPrinter() override;

    // A named printer or a file output.
    bool HasPrinter() const override;
    bool ReadMetrics(TPrinterMetrics& metrics) override;
    void PrintPicture(const QImage& picture, const QRect& target) override;
    bool ShowSetupDialog(QWidget* parent) override;

    QPrinter& Printer() { return *FPrinter; }

private:
    std::unique_ptr<QPrinter> FPrinter;
};
