#pragma once

// The default photo: a generated landscape (sky, sun and clouds, mountain
// ranges, a lake with their reflection, green hills with pines and a meadow).

#include <QImage>

class TLandscapePainter
{
public:
    static constexpr int PhotoWidth = 1600;
    static constexpr int PhotoHeight = 1200;

    // An opaque PhotoWidth x PhotoHeight picture; the same on every run.
    static QImage Paint();
};
