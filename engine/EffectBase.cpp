#include "EffectBase.h"

#include "MyGdiPlus.h"

void TEffectBase::Execute(QImage& Image, double& /*W*/, double& /*H*/)
{
    Apply(Image);
}

void TEffectUndoWithBMP::Execute(QImage& Image, double& W, double& H)
{
    m_savedImage = CopyBitmap(Image);
    TEffectBase::Execute(Image, W, H);
}

void TEffectUndoWithBMP::Undo(QImage& Image)
{
    // The saved copy stays with the effect, so it can be undone and redone
    // any number of times.
    Image = CopyBitmap(m_savedImage);
}

void TEffectChangeWH::Execute(QImage& Image, double& W, double& H)
{
    OldWidth = W;
    OldHeight = H;
    TEffectBase::Execute(Image, W, H);
    W = OldHeight;
    H = OldWidth;
}
