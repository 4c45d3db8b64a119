#pragma once

// The frame generators, and the one way every user of frame files gets a
// generator for a file.

#include "FrameMakerBase.h"
#include "OrnateFrameMaker.h"
#include "PicFrameMaker.h"
#include "SimapleFrameMaker.h"

// The generator of FrameFile's type, loaded from the file and given the
// output size Width x Height. Null when the type has no generator; raises
// the file errors of reading the type and of loading. StopRequested, when
// given, is asked before each picture of the file (TFrameMakerBase::
// SetStopRequest).
std::unique_ptr<TFrameMakerBase> LoadFrameMaker(const QString& FrameFile, int32_t Width,
                                                int32_t Height,
                                                std::function<bool()> StopRequested = {});
// The same, raising EFOpenError "%s is not a frame file of a known kind"
// when the type has no generator.
std::unique_ptr<TFrameMakerBase> LoadKnownFrameMaker(const QString& FrameFile, int32_t Width,
                                                     int32_t Height);
