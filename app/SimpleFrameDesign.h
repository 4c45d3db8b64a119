#pragma once

// A simple frame as the designer edits it: the values of its controls, and
// the generator, preview and frame file made from them.

#include "GdiDraw.h"
#include "MyStreamAdapter.h"
#include "SimapleFrameMaker.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

class TSimpleFrameDesign
{
public:
    // A new design: edges of 1 pixel in white, bands of 20 pixels in sky
    // blue, an elliptical opening.
    int32_t OutEdge = 1;
    TColorRef OutEdgeColor = MakeColorRef(255, 255, 255);
    int32_t InnerEdge = 1;
    TColorRef InnerEdgeColor = MakeColorRef(255, 255, 255);
    int32_t FrameWidth = 20;
    int32_t FrameHeight = 20;
    bool UsePicture = false;
    TColorRef BackColor = MakeColorRef(166, 202, 240);
    // The band picture; a null image when none was chosen.
    QImage BackPicture;
    uint8_t Shape = TSimapleFrameMaker::shEllipse;

    // A generator holding the design. With UsePicture the picture reaches it
    // as a JPEG written into Stream, the form a frame file stores; Stream
    // must outlive the generator.
    std::unique_ptr<TSimapleFrameMaker> MakeGenerator(TMemoryStream& Stream) const;

    // The values of a frame file as they stand in it (no clamping). The
    // picture is taken only when the file's band uses it; otherwise
    // BackPicture stays null. Raises the reader's errors.
    static TSimpleFrameDesign FromFile(const QString& FileName);

    // Writes the design as a frame file, replacing any file of that name.
    void Save(const QString& FileName) const;

    // The frame rendered at Width x Height over opaque white.
    QImage Preview(int Width, int Height) const;
};
