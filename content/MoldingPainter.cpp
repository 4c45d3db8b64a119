#include "MoldingPainter.h"

#include "MyGdiPlus.h"
#include "TileNoise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

double Frac(double X)
{
    return X - std::floor(X);
}

// A rounded bump over [From, To], 0 outside.
double Bump(double T, double From, double To)
{
    if (T <= From || T >= To)
        return 0;
    return std::sin(Pi * (T - From) / (To - From));
}

// A bead of a row: U along (0 to 1 within the bead's cell), V across.
double Bead(double U, double V)
{
    const double d = (U - 0.5) * (U - 0.5) + (V - 0.5) * (V - 0.5);
    return d < 0.2 ? std::sqrt(0.2 - d) * 1.6 : 0;
}

using TStyle = TMoldingPainter::TStyle;

// The height of the moulding's surface at depth T.
double Height(TStyle Style, double T, double A)
{
    const bool patterned = A >= 0;
    switch (Style) {
    case TStyle::Gilded: {
        double h = 0.4 * Bump(T, 0, 0.14) + Bump(T, 0.14, 0.6) + 0.3 * (1 - T);
        if (patterned && T > 0.62 && T < 0.82)
            h += 0.5 * Bead(Frac(A * 4), (T - 0.62) / 0.2);
        return h;
    }
    case TStyle::Walnut:
        return 0.5 * Bump(T, 0, 0.2) + 0.8 * Bump(T, 0.2, 0.85) + 0.2 * (1 - T);
    case TStyle::SilverRope: {
        double h = 0.5 * Bump(T, 0, 0.25) + 0.4 * Bump(T, 0.75, 1);
        if (T > 0.28 && T < 0.72) {
            const double phase = patterned ? Frac(A * 6 + T * 2.2) : 0.5;
            h += 0.8 * Bump(T, 0.28, 0.72) * (0.4 + 0.6 * std::sin(Pi * phase));
        }
        return h;
    }
    case TStyle::BlackGallery:
        return 0.3 * Bump(T, 0, 0.1) + 0.15 * (1 - T) + 0.3 * Bump(T, 0.84, 0.94);
    case TStyle::Baroque: {
        double h = 0.5 * Bump(T, 0, 0.12) + 0.3 * Bump(T, 0.85, 1);
        if (T > 0.15 && T < 0.82) {
            const double scroll =
                patterned ? std::max(0.0, std::sin(2 * Pi * (A * 3 + T * 1.4))) : 0.6;
            h += Bump(T, 0.15, 0.82) * (0.5 + 0.7 * scroll);
        }
        return h;
    }
    case TStyle::Rustic:
        return 0.2 * Bump(T, 0, 0.33) + 0.2 * Bump(T, 0.34, 0.66) + 0.2 * Bump(T, 0.67, 1);
    case TStyle::Shabby:
        return 0.5 * Bump(T, 0, 0.3) + 0.3 * (1 - T) + 0.3 * Bump(T, 0.7, 1);
    case TStyle::Bamboo: {
        double h = Bump(T, 0.05, 0.95);
        if (patterned) {
            const double node = std::min(Frac(A * 2), 1 - Frac(A * 2));
            if (node < 0.04)
                h += 0.25 * (1 - node / 0.04);
        }
        return h;
    }
    }
    return 0;
}

QRgb Scale(QRgb Colour, double Factor)
{
    auto c = [Factor](int v) { return std::clamp(int(std::lround(v * Factor)), 0, 255); };
    return qRgb(c(qRed(Colour)), c(qGreen(Colour)), c(qBlue(Colour)));
}

QRgb Blend(QRgb A, QRgb B, double T)
{
    T = std::clamp(T, 0.0, 1.0);
    auto c = [T](int a, int b) { return int(std::lround(a + (b - a) * T)); };
    return qRgb(c(qRed(A), qRed(B)), c(qGreen(A), qGreen(B)), c(qBlue(A), qBlue(B)));
}

// The paint or material colour before lighting.
QRgb Base(TStyle Style, double T, double A, double Noise)
{
    switch (Style) {
    case TStyle::Gilded:
    case TStyle::Baroque:
        return Blend(qRgb(222, 176, 70), qRgb(160, 110, 30), Noise * 0.6);
    case TStyle::Walnut:
        return Blend(qRgb(125, 78, 45), qRgb(70, 40, 22), Noise);
    case TStyle::SilverRope:
        return Blend(qRgb(210, 212, 220), qRgb(150, 152, 162), Noise * 0.5);
    case TStyle::BlackGallery:
        if (T > 0.84 && T < 0.94)
            return qRgb(200, 160, 70);
        return Blend(qRgb(40, 40, 42), qRgb(22, 22, 24), Noise);
    case TStyle::Rustic:
        return Blend(qRgb(150, 130, 105), qRgb(90, 72, 55), Noise);
    case TStyle::Shabby:
        return Noise > 0.78 ? qRgb(150, 118, 85)
                            : Blend(qRgb(248, 246, 238), qRgb(215, 210, 198), Noise);
    case TStyle::Bamboo:
        return Blend(qRgb(215, 190, 120), qRgb(160, 135, 70), Noise);
    }
    return qRgb(128, 128, 128);
}

} // namespace

QRgb TMoldingPainter::Texel(TStyle Style, double T, double A, double Light, double Noise)
{
    constexpr double e = 0.01;
    const double slope = (Height(Style, T + e, A) - Height(Style, T - e, A)) / (2 * e);
    // A surface falling towards the opening faces the outer border; on the
    // side facing the light that makes it brighter.
    const double shade = std::clamp(1.0 - 0.22 * slope * Light + 0.08 * Light, 0.45, 1.55);
    return Scale(Base(Style, T, A, Noise), shade);
}

namespace {

// Where a point lies along its side: Position in pixels from the start of
// the side's repeated pattern (negative before it), and whether the pattern
// is drawn there.
struct TAlong
{
    double Position;
    bool Patterned;
};

// Paints a frame of W x H with band Band; Along(side, x, y) places each
// point along its side. The wood grain runs along the sides and repeats with
// the pattern, so repeated strips meet without a seam.
template <class FAlong>
QImage PaintFrame(TStyle Style, int W, int H, int Band, int Period, FAlong Along)
{
    QImage image = NewBitmap(W, H, QImage::Format_ARGB32);
    const TTileNoise grain(uint64_t(Style) * 131 + 7, 24, 2, 3);
    for (int y = 0; y < H; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < W; ++x) {
            // The nearest outer border decides the side: mitred corners.
            const int top = y;
            const int bottom = H - 1 - y;
            const int left = x;
            const int right = W - 1 - x;
            const int d = std::min({top, bottom, left, right});
            if (d >= Band)
                continue; // the opening stays transparent
            int side;     // 0 top, 1 right, 2 bottom, 3 left
            if (d == top)
                side = 0;
            else if (d == left)
                side = 3;
            else if (d == bottom)
                side = 2;
            else
                side = 1;
            const double t = (d + 0.5) / Band;
            const TAlong along = Along(side, x, y);
            const double run = along.Position / Period;
            const double a = along.Patterned ? Frac(run) : -1.0;
            const double noise = grain.At(t + side * 0.37, run);
            static constexpr double Light[4] = {1.0, -0.7, -1.0, 0.7};
            row[x] = TMoldingPainter::Texel(Style, t, a, Light[side], noise);
        }
    }
    return image;
}

} // namespace

QImage TMoldingPainter::FramePicture(TStyle Style, int Band, int End, int Period)
{
    const int w = 2 * Band + Period;
    const int h = 2 * Band + 2 * End + Period;
    // The pattern runs only on the repeated strips: the top and bottom from
    // Band on, the sides from Band + End on; corners and end pieces stay plain
    // so the strips meet them at a clean edge whatever the output size.
    return PaintFrame(Style, w, h, Band, Period, [=](int Side, int X, int Y) {
        if (Side == 0 || Side == 2)
            return TAlong{double(X - Band), X >= Band && X < Band + Period};
        return TAlong{double(Y - Band - End), Y >= Band + End && Y < Band + End + Period};
    });
}

QImage TMoldingPainter::Frame(TStyle Style, int Width, int Height, int Band, int Period)
{
    return PaintFrame(Style, Width, Height, Band, Period, [](int Side, int X, int Y) {
        return TAlong{double((Side == 0 || Side == 2) ? X : Y), true};
    });
}
