#pragma once

// The background textures: seamless tiles (wood, marble, linen, ...) that the
// simple frame designer offers from the "bkpic" folder and that the simple
// frames of the textured category are filled with.

#include <QImage>
#include <QString>

#include <vector>

class TTexturePainter
{
public:
    enum class TKind
    {
        Wood,
        Marble,
        Linen,
        Leather,
        Metal,
        Stone,
        Cork,
        Velvet,
        Gold,
        Paper
    };

    struct TTexture
    {
        QString FileName;
        TKind Kind;
        QRgb Light;
        QRgb Dark;
        uint64_t Seed;
    };

    static constexpr int TileSize = 128;

    static const std::vector<TTexture>& Catalogue();
    static const TTexture* Find(const QString& FileName);
    // An opaque TileSize x TileSize tile that repeats without seams.
    static QImage Paint(const TTexture& Texture);
};
