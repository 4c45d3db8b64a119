#include "BandPainter.h"

#include "PixelPass.h"

void PaintInBands(QImage& image, const std::function<void(QPainter&)>& paint)
{
    if (image.isNull())
        return;
    const int w = image.width();
    const int h = image.height();
    // bits() detaches once here, before any band paints.
    uchar* const pixels = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const QImage::Format format = image.format();
    ForRowBands(h, int64_t(w) * h, [&](int top, int end) {
        // A picture of its own over the same pixels, so every band has its
        // own painter.
        QImage view(pixels, w, h, stride, format);
        view.setDotsPerMeterX(image.dotsPerMeterX());
        view.setDotsPerMeterY(image.dotsPerMeterY());
        QPainter painter(&view);
        if (top > 0 || end < h)
            painter.setClipRect(QRect(0, top, w, end - top));
        paint(painter);
    });
}
