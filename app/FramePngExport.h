#pragma once

// A frame file exported as a PNG picture with its transparent opening.

#include <QString>

#include <cstdint>

class TFramePngExport
{
public:
    // Loads FrameFile into the generator of its type, sets the output size
    // and writes the PNG. The ornate generator cuts the size down to whole
    // tiles. A size that leaves the frame no pixels writes nothing. Raises
    // the file errors of loading and EFCreateError when the PNG cannot be
    // written, and EFOpenError when the file's type has no generator.
    static void Export(const QString& FrameFile, const QString& OutputName, int32_t Width,
                       int32_t Height);
};
