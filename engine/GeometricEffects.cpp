#include "GeometricEffects.h"

#include "MyGdiPlus.h"

void TFlipX::Apply(QImage& Image)
{
    RotateFlip(Image, RotateNoneFlipX);
}

void TFlipX::Undo(QImage& Image)
{
    RotateFlip(Image, RotateNoneFlipX);
}

void TFlipX::Redo(QImage& Image)
{
    RotateFlip(Image, RotateNoneFlipX);
}

void TFlipY::Apply(QImage& Image)
{
    RotateFlip(Image, Rotate180FlipX);
}

void TFlipY::Undo(QImage& Image)
{
    RotateFlip(Image, Rotate180FlipX);
}

void TFlipY::Redo(QImage& Image)
{
    RotateFlip(Image, Rotate180FlipX);
}

void TRotate90::Apply(QImage& Image)
{
    RotateFlip(Image, Rotate90FlipNone);
}

void TRotate90::Undo(QImage& Image)
{
    RotateFlip(Image, Rotate270FlipNone);
}

void TRotate90::Redo(QImage& Image)
{
    RotateFlip(Image, Rotate90FlipNone);
}

void TRotateF90::Apply(QImage& Image)
{
    RotateFlip(Image, Rotate270FlipNone);
}

void TRotateF90::Undo(QImage& Image)
{
    RotateFlip(Image, Rotate90FlipNone);
}

void TRotateF90::Redo(QImage& Image)
{
    RotateFlip(Image, Rotate270FlipNone);
}
