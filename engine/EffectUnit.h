#pragma once

// The picture engine's effects and the picture with its effect history.

#include "ColorEffects.h"
#include "EffectBase.h"
#include "EffectImage.h"
#include "GeometricEffects.h"
