#include "FrameMaker.h"

#include "UniFuncs.h"

std::unique_ptr<TFrameMakerBase> CreateFrameMaker(uint8_t FrameType)
{
    switch (FrameType) {
    case ftSimple:
        return std::make_unique<TSimapleFrameMaker>();
    case ftOrnate:
        return std::make_unique<TOrnateFrameMaker>();
    case ftPicture:
        return std::make_unique<TPicFrameMaker>();
    default:
        return nullptr;
    }
}

std::unique_ptr<TFrameMakerBase> LoadFrameMaker(const QString& FrameFile, int32_t Width,
                                                int32_t Height, std::function<bool()> StopRequested)
{
    std::unique_ptr<TFrameMakerBase> maker = CreateFrameMaker(GetFrameFileType(FrameFile));
    if (!maker)
        return nullptr;
    maker->SetStopRequest(std::move(StopRequested));
    maker->LoadFromFile(FrameFile);
    maker->SetWidth(Width);
    maker->SetHeight(Height);
    return maker;
}

std::unique_ptr<TFrameMakerBase> LoadKnownFrameMaker(const QString& FrameFile, int32_t Width,
                                                     int32_t Height)
{
    std::unique_ptr<TFrameMakerBase> maker = LoadFrameMaker(FrameFile, Width, Height);
    if (!maker)
        throw EFOpenError(FileMessage("%1 is not a frame file of a known kind", FrameFile));
    return maker;
}
