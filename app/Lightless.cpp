#include "Lightless.h"

#include "AdjustEffects.h"

#include <QPushButton>
#include <QSlider>

TfrmBrightness::TfrmBrightness(QWidget* Owner)
    : TfrmAdjustBase(QStringLiteral("Brightness/Contrast/Gamma"), 384, 121, Owner)
{
    auto change = [this] { spLightLessChange(); };
    spLightLess = AddTrackBar(Label1, QStringLiteral("Brightness"), QRect(8, 12, 72, 21),
                              QRect(84, 10, 200, 25), -100, 100, 0, change);
    // The arrow keys leave the brightness where it is.
    spLightLess->setSingleStep(0);
    spContrast = AddTrackBar(Label2, QStringLiteral("Contrast"), QRect(8, 50, 72, 21),
                             QRect(84, 48, 200, 25), -127, 127, 0, change);
    spGamma = AddTrackBar(Label3, QStringLiteral("Gamma"), QRect(8, 88, 72, 21),
                          QRect(84, 86, 200, 25), 1, 300, 100, change);
    SpTBXButton1->setGeometry(300, 16, 75, 25);
    SpTBXButton2->setGeometry(300, 52, 75, 25);
    FormCreate();
}

void TfrmBrightness::FormCreate()
{
    SetPreviewMode(true);
}

void TfrmBrightness::spLightLessChange()
{
    PreviewChange();
}

std::unique_ptr<TEffectBase> TfrmBrightness::BuildEffect() const
{
    return TAdjustEffects::Brightness(spLightLess->value(), spContrast->value(), spGamma->value());
}
