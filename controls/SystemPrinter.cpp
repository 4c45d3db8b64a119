#include "SystemPrinter.h"

#include <QDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <stdexcept>

TSystemPrinter::TSystemPrinter()
    : FPrinter(std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution))
{}

TSystemPrinter::TSystemPrinter(std::unique_ptr<QPrinter> printer) : FPrinter(std::move(printer)) {}

TSystemPrinter::~TSystemPrinter() = default;

bool TSystemPrinter::HasPrinter() const
{
    if (FPrinter->outputFormat() == QPrinter::PdfFormat)
        return !FPrinter->outputFileName().isEmpty();
    return !FPrinter->printerName().isEmpty() && FPrinter->isValid();
}

bool TSystemPrinter::ReadMetrics(TPrinterMetrics& metrics)
{
    if (!HasPrinter())
        return false;
    const int resolution = FPrinter->resolution();
    if (resolution <= 0)
        return false;
    const QPageLayout layout = FPrinter->pageLayout();
    const QRect paper = layout.fullRectPixels(resolution);
    // The paint rectangle is given from the paper's top-left corner.
    const QRect printable = layout.paintRectPixels(resolution);
    if (paper.width() <= 0 || paper.height() <= 0)
        return false;
    metrics.PhysicalWidth = paper.width();
    metrics.PhysicalHeight = paper.height();
    metrics.PhysicalOffsetX = printable.x();
    metrics.PhysicalOffsetY = printable.y();
    return true;
}

void TSystemPrinter::PrintPicture(const QImage& picture, const QRect& target)
{
    if (!HasPrinter())
        throw std::runtime_error("There is no printer");
    // Without full-page mode the painter's origin is the printable area's
    // top-left corner.
    FPrinter->setFullPage(false);
    // A queue whose own default is grey would print the composition grey.
    FPrinter->setColorMode(QPrinter::Color);
    QPainter painter;
    if (!painter.begin(FPrinter.get()))
        throw std::runtime_error("Cannot start the print document");
    painter.drawImage(QRectF(target), picture);
    if (!painter.end())
        throw std::runtime_error("Cannot finish the print document");
}

bool TSystemPrinter::ShowSetupDialog(QWidget* parent)
{
    QPageSetupDialog dialog(FPrinter.get(), parent);
    return dialog.exec() == QDialog::Accepted;
}
