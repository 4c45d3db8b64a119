#pragma once

// The frame files the program ships with, one folder per category under
// "Frame": simple frames in plain colours and in textures, ornate frames
// from edge tiles, and picture frames cut from painted mouldings. Each is
// made with the engine's own generator and stored through its SaveToFile.

#include "FrameMakerBase.h"
#include "MoldingPainter.h"
#include "OrnateTilePainter.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct TFrameItem
{
    QString Category;
    QString FileName;
    // Makes the generator, loaded with the frame's parameters and pictures.
    std::function<std::unique_ptr<TFrameMakerBase>()> Make;
};

class TFrameLibrary
{
public:
    // The category that receives the frames the user designs; it ships
    // empty.
    static constexpr const char* UserCategory = "User";

    static const std::vector<TFrameItem>& Catalogue();

    // The twelve pieces of a picture frame cut from a moulding picture.
    static std::unique_ptr<TFrameMakerBase> MakePictureFrame(TMoldingPainter::TStyle Style,
                                                             int Band, int End, int Period);
    static std::unique_ptr<TFrameMakerBase> MakeOrnateFrame(TOrnateTilePainter::TDesign Design,
                                                            int FrameSize);
};
