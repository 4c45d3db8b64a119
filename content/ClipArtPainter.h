#pragma once

// The clip-art pictures the program ships with: transparent PNG pictures
// sorted into categories, each drawn with painter paths.

#include <QImage>
#include <QPainter>
#include <QString>

#include <functional>
#include <vector>

struct TClipArtItem
{
    QString Category;
    QString FileName;
    std::function<void(QPainter&, const QRectF&)> Draw;
};

class TClipArtPainter
{
public:
    static constexpr int PictureSize = 256;

    // Every picture, category by category.
    static const std::vector<TClipArtItem>& Catalogue();
    // A transparent PictureSize x PictureSize picture of Item.
    static QImage Paint(const TClipArtItem& Item);
};
