#include "FrameMaker.h"

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
