#pragma once

// Fills a program folder with everything the program ships with: frame files
// by category, clip-art by category, PNG frames, background textures, the
// default frame and photo, and the help file.

#include "ContentWriter.h"

#include <QString>

class TContentBuilder
{
public:
    // The quality of the shipped JPEG pictures (textures, default photo).
    static constexpr int JpegQuality = 92;

    TContentBuilder(const QString& ProgramDir, const QByteArray& Fingerprint, bool Force);

    void Build();

    const TContentWriter& Writer() const { return m_writer; }

private:
    void BuildClipArt();
    void BuildPngFrames();
    void BuildTextures();
    void BuildFrames();
    void BuildDefaults();
    void BuildHelp();

    TContentWriter m_writer;
};
