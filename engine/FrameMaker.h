#pragma once

// The frame generators.

#include "FrameMakerBase.h"
#include "OrnateFrameMaker.h"
#include "PicFrameMaker.h"
#include "SimapleFrameMaker.h"
