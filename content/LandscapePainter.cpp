#include "LandscapePainter.h"

#include "MyGdiPlus.h"
#include "SeededRandom.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <vector>

namespace {

constexpr double W = TLandscapePainter::PhotoWidth;
constexpr double H = TLandscapePainter::PhotoHeight;
constexpr double Horizon = 640; // the lake's far shore

// A mountain ridge by midpoint displacement: heights above Base for x = 0
// to W in Steps steps.
std::vector<double> Ridge(TSeededRandom& Random, int Steps, double Low, double High, double Rough)
{
    std::vector<double> h(size_t(Steps) + 1, 0.0);
    h.front() = Random.Range(Low, High);
    h.back() = Random.Range(Low, High);
    double spread = (High - Low);
    for (int step = Steps; step > 1; step /= 2) {
        for (int i = step / 2; i < Steps; i += step) {
            const double mid = (h[size_t(i - step / 2)] + h[size_t(i + step / 2)]) / 2;
            h[size_t(i)] = mid + Random.Range(-spread, spread) * 0.5;
        }
        spread *= Rough;
    }
    return h;
}

QPainterPath RidgePath(const std::vector<double>& Heights, double Base, double Sign)
{
    QPainterPath path;
    const double dx = W / double(Heights.size() - 1);
    path.moveTo(0, Base);
    for (size_t i = 0; i < Heights.size(); ++i)
        path.lineTo(double(i) * dx, Base - Sign * Heights[i]);
    path.lineTo(W, Base);
    path.closeSubpath();
    return path;
}

void Sky(QPainter& p)
{
    QLinearGradient sky(0, 0, 0, Horizon);
    sky.setColorAt(0, QColor(52, 110, 190));
    sky.setColorAt(0.55, QColor(130, 180, 225));
    sky.setColorAt(1, QColor(250, 222, 180));
    p.fillRect(QRectF(0, 0, W, Horizon), sky);
    QRadialGradient glow(1130, 420, 420);
    glow.setColorAt(0, QColor(255, 250, 220, 255));
    glow.setColorAt(0.08, QColor(255, 245, 200, 240));
    glow.setColorAt(0.12, QColor(255, 225, 160, 120));
    glow.setColorAt(1, QColor(255, 200, 140, 0));
    p.fillRect(QRectF(0, 0, W, Horizon), glow);
}

void Clouds(QPainter& p, TSeededRandom& Random)
{
    p.setPen(Qt::NoPen);
    for (int c = 0; c < 9; ++c) {
        const double cx = Random.Range(-100, W + 100);
        const double cy = Random.Range(70, 330);
        const double size = Random.Range(60, 130) * (1.2 - cy / 600);
        for (int puff = 0; puff < 14; ++puff) {
            const QPointF at(cx + Random.Range(-2.2, 2.2) * size,
                             cy + Random.Range(-0.35, 0.35) * size);
            const double r = size * Random.Range(0.45, 0.85);
            QRadialGradient g(at, r);
            g.setColorAt(0, QColor(255, 255, 255, 150));
            g.setColorAt(0.6, QColor(250, 250, 255, 80));
            g.setColorAt(1, QColor(240, 240, 250, 0));
            p.setBrush(g);
            p.drawEllipse(at, r * 1.6, r);
        }
    }
}

void Mountains(QPainter& p, TSeededRandom& Random, std::vector<QPainterPath>& Reflected,
               std::vector<QBrush>& ReflectedBrushes)
{
    struct TRange
    {
        double Low, High, Rough;
        QColor Top, Bottom;
        double Base;
    };
    const TRange ranges[] = {
        {160, 380, 0.55, QColor(150, 165, 200), QColor(200, 205, 220), Horizon},
        {90, 250, 0.58, QColor(90, 115, 150), QColor(150, 165, 185), Horizon},
        {30, 120, 0.6, QColor(55, 85, 80), QColor(90, 120, 100), Horizon},
    };
    for (const TRange& range : ranges) {
        const std::vector<double> heights = Ridge(Random, 512, range.Low, range.High, range.Rough);
        const QPainterPath path = RidgePath(heights, range.Base, 1);
        QLinearGradient g(0, range.Base - range.High, 0, range.Base);
        g.setColorAt(0, range.Top);
        g.setColorAt(1, range.Bottom);
        p.fillPath(path, g);
        if (&range == &ranges[0]) {
            // Snow where the far range rises highest.
            p.save();
            p.setClipPath(path);
            QLinearGradient snow(0, range.Base - range.High, 0, range.Base - range.High * 0.72);
            snow.setColorAt(0, QColor(255, 255, 255, 235));
            snow.setColorAt(1, QColor(255, 255, 255, 0));
            p.fillRect(QRectF(0, 0, W, range.Base), snow);
            p.restore();
        }
        Reflected.push_back(RidgePath(heights, range.Base, -1));
        QLinearGradient r(0, range.Base, 0, range.Base + range.High);
        r.setColorAt(0, range.Bottom.darker(115));
        r.setColorAt(1, range.Top.darker(125));
        ReflectedBrushes.emplace_back(r);
    }
}

void Lake(QPainter& p, TSeededRandom& Random, const std::vector<QPainterPath>& Reflected,
          const std::vector<QBrush>& Brushes)
{
    const QRectF water(0, Horizon, W, H - Horizon);
    QLinearGradient g(0, Horizon, 0, H);
    g.setColorAt(0, QColor(235, 215, 185));
    g.setColorAt(0.25, QColor(110, 160, 205));
    g.setColorAt(1, QColor(30, 70, 120));
    p.fillRect(water, g);
    p.save();
    p.setClipRect(water);
    p.setOpacity(0.55);
    for (size_t i = 0; i < Reflected.size(); ++i)
        p.fillPath(Reflected[i], Brushes[i]);
    p.restore();
    // The sun's path on the water and the ripples.
    QLinearGradient path(1000, 0, 1260, 0);
    path.setColorAt(0, QColor(255, 240, 200, 0));
    path.setColorAt(0.5, QColor(255, 240, 200, 110));
    path.setColorAt(1, QColor(255, 240, 200, 0));
    p.fillRect(QRectF(1000, Horizon, 260, 260), path);
    for (int i = 0; i < 260; ++i) {
        const double y = Horizon + 4 + std::pow(Random.Unit(), 1.6) * (H - Horizon);
        const double x = Random.Range(-50, W);
        const double length = 20 + (y - Horizon) * Random.Range(0.1, 0.4);
        p.setPen(QPen(QColor(255, 255, 255, Random.Between(25, 70)), 1 + (y - Horizon) / 260));
        p.drawLine(QPointF(x, y), QPointF(x + length, y));
    }
}

void Pine(QPainter& p, const QPointF& Foot, double Height, QColor Colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 45, 30));
    p.drawRect(
        QRectF(Foot.x() - Height * 0.03, Foot.y() - Height * 0.15, Height * 0.06, Height * 0.15));
    for (int tier = 0; tier < 4; ++tier) {
        const double bottom = Foot.y() - Height * (0.1 + tier * 0.2);
        const double halfWidth = Height * (0.3 - tier * 0.06);
        QPainterPath t;
        t.moveTo(Foot.x(), bottom - Height * 0.38);
        t.lineTo(Foot.x() + halfWidth, bottom);
        t.lineTo(Foot.x() - halfWidth, bottom);
        t.closeSubpath();
        QLinearGradient g(Foot.x() - halfWidth, 0, Foot.x() + halfWidth, 0);
        g.setColorAt(0, Colour.darker(140));
        g.setColorAt(1, Colour.lighter(115));
        p.setBrush(g);
        p.drawPath(t);
    }
}

// A hill from (Left, LeftFoot) over a crest near Top down to (Right,
// RightFoot); ends that lie inside the picture sit low enough for the front
// hill to hide them.
struct THill
{
    double Left, Right, Top, LeftFoot, RightFoot;

    QPointF Crest(double T) const
    {
        const QPointF p0(Left, LeftFoot);
        const QPointF p1(Left + (Right - Left) * 0.3, Top);
        const QPointF p2(Left + (Right - Left) * 0.6, Top);
        const QPointF p3(Right, RightFoot);
        const double u = 1 - T;
        return u * u * u * p0 + 3 * u * u * T * p1 + 3 * u * T * T * p2 + T * T * T * p3;
    }
    // The crest's height at X; its x grows steadily with the curve parameter.
    double CrestAt(double X) const
    {
        double low = 0;
        double high = 1;
        for (int i = 0; i < 40; ++i) {
            const double mid = (low + high) / 2;
            (Crest(mid).x() < X ? low : high) = mid;
        }
        return Crest(low).y();
    }
    QPainterPath Path() const
    {
        QPainterPath hill;
        hill.moveTo(Left, H + 10);
        hill.lineTo(Crest(0));
        hill.cubicTo(QPointF(Left + (Right - Left) * 0.3, Top),
                     QPointF(Left + (Right - Left) * 0.6, Top), Crest(1));
        hill.lineTo(Right, H + 10);
        hill.closeSubpath();
        return hill;
    }
};

void Hills(QPainter& p, TSeededRandom& Random)
{
    const THill left{-200, 820, 700, 740, 1040};
    const THill right{980, 1900, 660, 1040, 900};
    const THill front{-100, 1800, 900, 1060, 1060};
    struct TLayer
    {
        const THill* Hill;
        QColor Top, Bottom;
        int Trees;
    };
    const TLayer layers[] = {{&left, QColor(110, 160, 70), QColor(60, 110, 45), 26},
                             {&right, QColor(120, 165, 75), QColor(70, 115, 50), 18},
                             {&front, QColor(130, 185, 80), QColor(70, 130, 50), 0}};
    for (const TLayer& layer : layers) {
        const QPainterPath path = layer.Hill->Path();
        const QRectF b = path.boundingRect();
        QLinearGradient g(0, b.top(), 0, H);
        g.setColorAt(0, layer.Top);
        g.setColorAt(1, layer.Bottom);
        p.fillPath(path, g);
        for (int i = 0; i < layer.Trees; ++i) {
            const double x = Random.Range(b.left() + 60, b.right() - 60);
            // Plant the tree a little below the hill's crest at x.
            const double y = layer.Hill->CrestAt(x) + Random.Range(10, 120);
            Pine(p, QPointF(x, y), Random.Range(70, 130) * (y / 900), QColor(40, 95, 55));
        }
    }
    // Meadow flowers in the front.
    p.setPen(Qt::NoPen);
    const QColor flowers[4] = {QColor(250, 240, 90), QColor(255, 255, 255), QColor(230, 90, 120),
                               QColor(170, 120, 230)};
    for (int i = 0; i < 700; ++i) {
        const QPointF at(Random.Range(0, W), Random.Range(1000, H));
        if (at.y() < front.CrestAt(at.x()) + 6)
            continue;
        const double r = 1.5 + (at.y() - 1000) / 60;
        p.setBrush(flowers[i % 4]);
        p.drawEllipse(at, r, r * 0.8);
    }
}

} // namespace

QImage TLandscapePainter::Paint()
{
    QImage image = NewBitmap(PhotoWidth, PhotoHeight, QImage::Format_RGB32);
    TSeededRandom random(2026);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        Sky(p);
        Clouds(p, random);
        std::vector<QPainterPath> reflected;
        std::vector<QBrush> brushes;
        Mountains(p, random, reflected, brushes);
        Lake(p, random, reflected, brushes);
        Hills(p, random);
    }
    return image;
}
