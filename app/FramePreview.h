#pragma once

// The designers' preview: a frame rendered at a size and laid on white, so
// its transparent opening shows as the white of the preview box.

#include <QImage>

class TFrameMakerBase;

QImage RenderOnWhite(TFrameMakerBase& Maker, int Width, int Height);
