#pragma once

// The square edge tiles of the ornate frames. A tile's top row lies along
// the frame's outer border and the tile repeats along each side, so every
// design is drawn to meet itself at the left and right edges.

#include <QImage>
#include <QString>

#include <vector>

class TOrnateTilePainter
{
public:
    enum class TDesign
    {
        GoldBeads,
        Rope,
        GreekKey,
        Ivy,
        Hearts,
        Checker,
        GoldScroll,
        Pearls
    };

    static constexpr int TileSize = 96;

    // An opaque TileSize x TileSize tile.
    static QImage Paint(TDesign Design);
};
