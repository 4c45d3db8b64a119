#include "PrintPrevew.h"

#include "MyGdiPlus.h"
#include "RectTools.h"
#include "SystemPrinter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

TPrintPrevew::TPrintPrevew(QWidget* parent)
    : TPrintPrevew(std::make_unique<TSystemPrinter>(), parent)
{}

TPrintPrevew::TPrintPrevew(std::unique_ptr<TPrinterDevice> printer, QWidget* parent)
    : QWidget(parent), PictureObject(std::make_unique<TPicClass>(this)),
      FPrinter(std::move(printer))
{
    // Each paint covers the whole client area from an off-screen picture, so
    // the sheet does not flicker while the picture is dragged.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Moves without a button held drive the sizing cursors.
    setMouseTracking(true);
}

TPrintPrevew::~TPrintPrevew()
{
    RestoreEditingCursor();
}

void TPrintPrevew::DeselectAll()
{
    PictureObject->SetSelected(false);
}

void TPrintPrevew::ReadPrinterMetrics()
{
    TPrinterMetrics metrics;
    if (!FPrinter || !FPrinter->ReadMetrics(metrics))
        metrics = TPrintLayout::FallbackMetrics();
    PhysicalWidth = metrics.PhysicalWidth;
    PhysicalHeight = metrics.PhysicalHeight;
    PhysicalOffsetX = metrics.PhysicalOffsetX;
    PhysicalOffsetY = metrics.PhysicalOffsetY;
}

void TPrintPrevew::ComputeLayout()
{
    ReadPrinterMetrics();
    Layout.Compute(TPrinterMetrics{PhysicalWidth, PhysicalHeight, PhysicalOffsetX, PhysicalOffsetY},
                   width(), height(), BordSize);
    PageRect = Layout.PageRect;
    PrintableRect = Layout.PrintableRect;
}

void TPrintPrevew::SetPicture(const QImage& bitmap)
{
    ComputeLayout();
    PictureObject->LoadFromImage(bitmap, PrintableRect.Width, PrintableRect.Height,
                                 TGPRect{0, 0, width(), height()}, false);
    FFittedRect = PictureObject->GetRect();
    update();
}

void TPrintPrevew::AlignPicture(int position, bool autoFit)
{
    const QImage* source = PictureObject->GetBitmap();
    // Without a picture there is nothing to fit to.
    const bool fit = autoFit && source && !source->isNull();
    const TGPRect r =
        TPrintLayout::AlignRect(PrintableRect, PictureObject->GetRect(), position, fit,
                                fit ? source->width() : 0, fit ? source->height() : 0);
    PictureObject->SetRect(r);
    PictureObject->UpdateRegion();
    update();
}

void TPrintPrevew::Print()
{
    const QImage* source = PictureObject->GetBitmap();
    TPrintTarget target;
    if (!source || source->isNull() || !Layout.MapToPrinter(PictureObject->GetRect(), target))
        return;

    // The printer takes an opaque device picture of the source's own size.
    QImage device = NewBitmap(source->width(), source->height(), QImage::Format_RGB32);
    {
        QPainter g(&device);
        DrawBitmap(g, *source, QRectF(0, 0, source->width(), source->height()),
                   QRect(0, 0, source->width(), source->height()));
    }
    try {
        FPrinter->PrintPicture(device, QRect(target.Left, target.Top, target.Right - target.Left,
                                             target.Bottom - target.Top));
    } catch (...) {
        // A printer that fails gives no message; the dialog goes on.
    }
}

void TPrintPrevew::paintEvent(QPaintEvent*)
{
    ComputeLayout();
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return;

    QImage buffer = NewBitmap(w, h, QImage::Format_ARGB32);
    {
        QPainter g(&buffer);
        SetInterpolationMode(g, TInterpolation::Default);
        g.fillRect(QRect(PageRect.X, PageRect.Y, PageRect.Width, PageRect.Height), Qt::white);

        if (PictureObject->Loaded) {
            PictureObject->Paint(g);
            PictureObject->DrawSelection(g);
        }

        QColor line = ColorRefToColor(LineColor);
        line.setAlpha(255);
        g.setPen(QPen(line, 1));
        g.setRenderHint(QPainter::Antialiasing, false);
        const int pageTop = PageRect.Y;
        const int pageBottom = PageRect.Y + PageRect.Height;
        const int pageLeft = PageRect.X;
        const int pageRight = PageRect.X + PageRect.Width;
        const int left = PrintableRect.X;
        const int right = PrintableRect.X + PrintableRect.Width;
        const int top = PrintableRect.Y;
        const int bottom = PrintableRect.Y + PrintableRect.Height;
        g.drawLine(left, pageTop, left, pageBottom);
        g.drawLine(right, pageTop, right, pageBottom);
        g.drawLine(pageLeft, top, pageRight, top);
        g.drawLine(pageLeft, bottom, pageRight, bottom);

        // Whatever lies off the sheet is covered by the background.
        QColor background = ColorRefToColor(BKColor);
        background.setAlpha(255);
        g.setClipRegion(QRegion(0, 0, w, h) -
                        QRegion(PageRect.X, PageRect.Y, PageRect.Width, PageRect.Height));
        g.fillRect(QRect(0, 0, w, h), background);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, buffer);
}

void TPrintPrevew::resizeEvent(QResizeEvent* event)
{
    // The picture is handed over before the window takes its final size
    // (the window system maximizes the dialog after it is shown): as long as
    // the user has not placed it, it is fitted into the sheet now shown.
    const QImage* source = PictureObject->GetBitmap();
    if (PictureObject->Loaded && source && !source->isNull() &&
        PictureObject->GetRect() == FFittedRect) {
        const QImage picture = *source;
        SetPicture(picture);
    }
    update();
    QWidget::resizeEvent(event);
}

void TPrintPrevew::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        PictureObject->MouseDown(p.x(), p.y());
    }
    event->accept();
}

void TPrintPrevew::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        PictureObject->MouseUp(p.x(), p.y());
    }
    event->accept();
}

void TPrintPrevew::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    PictureObject->MouseMove(p.x(), p.y());
    event->accept();
}

void TPrintPrevew::leaveEvent(QEvent* event)
{
    SetAppCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

void TPrintPrevew::hideEvent(QHideEvent* event)
{
    RestoreEditingCursor();
    QWidget::hideEvent(event);
}
