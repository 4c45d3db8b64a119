#pragma once

// Flips and quarter turns.

#include "EffectBase.h"

class TFlipX : public TEffectBase
{
public:
    void Apply(QImage& Image) override;
    void Undo(QImage& Image) override;
    void Redo(QImage& Image) override;
};

class TFlipY : public TEffectBase
{
public:
    void Apply(QImage& Image) override;
    void Undo(QImage& Image) override;
    void Redo(QImage& Image) override;
};

class TRotate90 : public TEffectChangeWH
{
public:
    void Apply(QImage& Image) override;
    void Undo(QImage& Image) override;
    void Redo(QImage& Image) override;
};

class TRotateF90 : public TEffectChangeWH
{
public:
    void Apply(QImage& Image) override;
    void Undo(QImage& Image) override;
    void Redo(QImage& Image) override;
};
