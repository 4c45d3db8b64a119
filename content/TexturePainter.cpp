#include "TexturePainter.h"

#include "MyGdiPlus.h"
#include "TileNoise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

QRgb Mix(QRgb A, QRgb B, double T)
{
    T = std::clamp(T, 0.0, 1.0);
    auto channel = [T](int a, int b) { return int(std::lround(a + (b - a) * T)); };
    return qRgb(channel(qRed(A), qRed(B)), channel(qGreen(A), qGreen(B)),
                channel(qBlue(A), qBlue(B)));
}

// The shade of a texel between 0 (Light) and 1 (Dark).
double Shade(TTexturePainter::TKind Kind, const TTileNoise& Coarse, const TTileNoise& Fine,
             const TTileNoise& Streaks, double U, double V)
{
    using K = TTexturePainter::TKind;
    switch (Kind) {
    case K::Wood: {
        // Grain runs along U; whole numbers of waves across V keep it seamless.
        const double wave = std::sin(TwoPi * (5 * V + 1.6 * Coarse.At(U, V)));
        return 0.5 + 0.35 * wave + 0.25 * (Fine.At(U, V * 0.25) - 0.5);
    }
    case K::Marble: {
        const double vein = std::abs(std::sin(TwoPi * (U + 2 * V) + 9 * Coarse.At(U, V)));
        return 0.15 + 0.85 * std::pow(1 - vein, 6) + 0.15 * (Fine.At(U, V) - 0.5);
    }
    case K::Linen: {
        const double warp = std::sin(TwoPi * 32 * U) * 0.5 + 0.5;
        const double weft = std::sin(TwoPi * 32 * V) * 0.5 + 0.5;
        return 0.25 + 0.3 * warp * weft + 0.45 * (Fine.At(U, V) - 0.3);
    }
    case K::Leather: {
        const double n = Fine.At(U, V);
        return 0.3 + 0.5 * std::pow(std::abs(n - 0.5) * 2, 0.6) + 0.2 * Coarse.At(U, V);
    }
    case K::Metal:
        // Brushed streaks along U.
        return 0.3 + 0.6 * Streaks.At(U, V) + 0.1 * std::sin(TwoPi * V);
    case K::Stone:
        return 0.2 + 0.8 * std::pow(Coarse.At(U, V), 1.5) + 0.2 * (Fine.At(U, V) - 0.5);
    case K::Cork: {
        const double n = Fine.At(U, V);
        return n > 0.62 ? 0.9 : 0.2 + 0.5 * Coarse.At(U, V);
    }
    case K::Velvet:
        return 0.25 + 0.5 * Coarse.At(U, V) + 0.25 * std::sin(TwoPi * (U + V)) * 0.5;
    case K::Gold: {
        // Leaf squares with slightly different shades.
        const int cell = int(U * 4) * 7 + int(V * 4) * 3;
        return 0.2 + 0.12 * (cell % 5) + 0.35 * Fine.At(U, V);
    }
    case K::Paper:
        return 0.1 + 0.4 * Fine.At(U, V) + 0.1 * Coarse.At(U, V);
    }
    return 0;
}

} // namespace

const std::vector<TTexturePainter::TTexture>& TTexturePainter::Catalogue()
{
    static const std::vector<TTexture> textures = {
        {"walnut.jpg", TKind::Wood, qRgb(150, 100, 60), qRgb(70, 40, 20), 11},
        {"pine.jpg", TKind::Wood, qRgb(235, 200, 150), qRgb(185, 135, 80), 12},
        {"cherry.jpg", TKind::Wood, qRgb(180, 90, 60), qRgb(100, 40, 25), 13},
        {"white-marble.jpg", TKind::Marble, qRgb(245, 245, 242), qRgb(120, 120, 130), 21},
        {"green-marble.jpg", TKind::Marble, qRgb(60, 120, 90), qRgb(230, 240, 230), 22},
        {"linen.jpg", TKind::Linen, qRgb(240, 230, 210), qRgb(170, 155, 130), 31},
        {"leather.jpg", TKind::Leather, qRgb(150, 80, 40), qRgb(60, 25, 10), 41},
        {"brushed-silver.jpg", TKind::Metal, qRgb(235, 235, 240), qRgb(140, 145, 155), 51},
        {"slate.jpg", TKind::Stone, qRgb(110, 115, 125), qRgb(40, 42, 48), 61},
        {"cork.jpg", TKind::Cork, qRgb(215, 170, 110), qRgb(140, 90, 45), 71},
        {"red-velvet.jpg", TKind::Velvet, qRgb(190, 20, 40), qRgb(80, 0, 15), 81},
        {"gold-leaf.jpg", TKind::Gold, qRgb(250, 220, 120), qRgb(170, 120, 30), 91},
        {"parchment.jpg", TKind::Paper, qRgb(250, 240, 210), qRgb(200, 170, 120), 101},
    };
    return textures;
}

const TTexturePainter::TTexture* TTexturePainter::Find(const QString& FileName)
{
    for (const TTexture& t : Catalogue()) {
        if (t.FileName == FileName)
            return &t;
    }
    return nullptr;
}

QImage TTexturePainter::Paint(const TTexture& Texture)
{
    const TTileNoise coarse(Texture.Seed, 3, 3, 3);
    const TTileNoise fine(Texture.Seed * 7919, 16, 16, 3);
    // Long along U, thin across V: brushed metal.
    const TTileNoise streaks(Texture.Seed * 104729, 1, 32, 3);
    QImage image = NewBitmap(TileSize, TileSize, QImage::Format_RGB32);
    for (int y = 0; y < TileSize; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < TileSize; ++x) {
            const double u = double(x) / TileSize;
            const double v = double(y) / TileSize;
            row[x] =
                Mix(Texture.Light, Texture.Dark, Shade(Texture.Kind, coarse, fine, streaks, u, v));
        }
    }
    return image;
}
