#pragma once

// The ready-made PNG frames: whole pictures with a transparent opening for
// the photo, for the "png" folder, and the default frame shown at start-up.

#include <QImage>
#include <QPainter>
#include <QString>

#include <functional>
#include <vector>

struct TPngFrameItem
{
    QString FileName;
    std::function<void(QPainter&, const QRectF&)> Draw;
};

class TPngFramePainter
{
public:
    static constexpr int FrameWidth = 800;
    static constexpr int FrameHeight = 600;

    static const std::vector<TPngFrameItem>& Catalogue();
    // The frame loaded at start-up: a walnut moulding around an ivory mat.
    static QImage PaintDefault();
    static QImage Paint(const TPngFrameItem& Item);
};
