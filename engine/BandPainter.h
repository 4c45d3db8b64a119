#pragma once

// Painting a large bitmap on a few threads at once. Each thread paints the
// whole scene through its own painter on the same pixels, clipped to its own
// band of rows. Every pixel is worked out from the same device coordinates
// and transform as with one painter over the whole bitmap, so the result is
// the same, only sooner.

#include <QImage>
#include <QPainter>

#include <functional>

// Runs Paint once per band, each on its own thread for a large Image (the
// calling thread alone for a small one), with a painter on Image clipped to
// the band. Paint must only draw under the painter's clip (it must not widen
// or drop it) and must be safe to run on several threads at once.
void PaintInBands(QImage& image, const std::function<void(QPainter&)>& paint);
