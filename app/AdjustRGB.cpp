#include "AdjustRGB.h"

#include "AdjustEffects.h"

#include <QPushButton>
#include <QSlider>

TfrmAdjustRGB::TfrmAdjustRGB(QWidget* Owner)
    : TfrmAdjustBase(QStringLiteral("Color Adjust"), 328, 120, Owner)
{
    auto change = [this] { spBlueChange(); };
    spRed = AddTrackBar(Label1, QStringLiteral("R"), QRect(8, 12, 20, 21), QRect(32, 10, 200, 25),
                        -255, 255, 0, change);
    spGreen = AddTrackBar(Label2, QStringLiteral("G"), QRect(8, 50, 20, 21), QRect(32, 48, 200, 25),
                          -255, 255, 0, change);
    spBlue = AddTrackBar(Label3, QStringLiteral("B"), QRect(8, 88, 20, 21), QRect(32, 86, 200, 25),
                         -255, 255, 0, change);
    SpTBXButton1->setGeometry(244, 16, 75, 25);
    SpTBXButton2->setGeometry(244, 52, 75, 25);
    FormCreate();
}

void TfrmAdjustRGB::FormCreate()
{
    SetPreviewMode(true);
}

void TfrmAdjustRGB::spBlueChange()
{
    PreviewChange();
}

std::unique_ptr<TEffectBase> TfrmAdjustRGB::BuildEffect() const
{
    return TAdjustEffects::ColorBalance(spRed->value(), spGreen->value(), spBlue->value());
}
