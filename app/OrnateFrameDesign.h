#pragma once

// An ornate frame as the designer edits it: the tile size and the tile
// picture, and the generator, preview and frame file made from them.

#include "MyStreamAdapter.h"
#include "OrnateFrameMaker.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

class TOrnateFrameDesign
{
public:
    // Tile size in pixels, which is also the band width.
    int32_t FrameSize = 20;
    // The tile; a null image when none was chosen.
    QImage TilePicture;

    // A generator holding the design. The tile reaches it as a JPEG written
    // into Stream, the form a frame file stores; Stream must outlive the
    // generator.
    std::unique_ptr<TOrnateFrameMaker> MakeGenerator(TMemoryStream& Stream) const;

    // The values of a frame file as they stand in it (no clamping). Raises
    // the reader's errors.
    static TOrnateFrameDesign FromFile(const QString& FileName);

    // Writes the design as a frame file, replacing any file of that name.
    void Save(const QString& FileName) const;

    // The frame rendered for Width x Height (the generator keeps whole tiles
    // only) and stretched over a Width x Height box of opaque white.
    QImage Preview(int Width, int Height) const;
};
