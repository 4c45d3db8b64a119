#include "Saturation.h"

#include "AdjustEffects.h"

#include <QPushButton>
#include <QSlider>

TfrmSaturation::TfrmSaturation(QWidget* Owner)
    : TfrmAdjustBase(QStringLiteral("Saturation"), 374, 93, Owner)
{
    // 256 would leave the colours as they are; the dialog starts just below.
    spSaturation =
        AddTrackBar(Label1, QStringLiteral("Saturation"), QRect(8, 14, 72, 21),
                    QRect(84, 12, 196, 25), 0, 512, 255, [this] { spSaturationChange(); });
    SpTBXButton1->setGeometry(290, 16, 75, 25);
    SpTBXButton2->setGeometry(290, 52, 75, 25);
}

void TfrmSaturation::FormShow()
{
    SetPreviewMode(true);
    TfrmAdjustBase::FormShow();
}

void TfrmSaturation::spSaturationChange()
{
    PreviewChange();
}

std::unique_ptr<TEffectBase> TfrmSaturation::BuildEffect() const
{
    return TAdjustEffects::Saturation(spSaturation->value());
}
