#pragma once

// Frame mouldings drawn pixel by pixel: a profile across the band (outer lip,
// rounded body, inner bevel) lit from the upper left, with a pattern that
// repeats along the sides. Makes the pictures that picture frames are cut
// from, and the PNG frames.

#include <QImage>
#include <QRgb>

class TMoldingPainter
{
public:
    enum class TStyle
    {
        Gilded,
        Walnut,
        SilverRope,
        BlackGallery,
        Baroque,
        Rustic,
        Shabby,
        Bamboo
    };

    // Band is the moulding's width, End the length of the plain pieces that
    // follow each side corner, Period the length after which the side's
    // pattern repeats. The picture is (2 Band + Period) x (2 Band + 2 End +
    // Period): a frame whose pieces can be cut on the grid Band, End, Period.
    static QImage FramePicture(TStyle Style, int Band, int End, int Period);

    // A whole frame of Width x Height with a transparent opening; the
    // pattern repeats every Period pixels along each side.
    static QImage Frame(TStyle Style, int Width, int Height, int Band, int Period);

    // The colour at depth T (0 on the outer border, 1 on the opening's edge)
    // and along-side fraction A (of the period; negative for no pattern), on
    // a side lit by Light (1 facing the light, -1 turned away), with the
    // wood or wear Noise (0 to 1) of the point.
    static QRgb Texel(TStyle Style, double T, double A, double Light, double Noise);
};
