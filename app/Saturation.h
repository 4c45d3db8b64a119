#pragma once

// The saturation of the photo, previewed live on the canvas.

#include "AdjustDialog.h"

class TfrmSaturation : public TfrmAdjustBase
{
    Q_OBJECT

public:
    explicit TfrmSaturation(QWidget* Owner);

    // Preview mode goes on here, at the first showing, before the placing
    // and the first preview.
    void FormShow() override;
    void spSaturationChange();
    std::unique_ptr<TEffectBase> BuildEffect() const override;

    QLabel* Label1 = nullptr;
    QSlider* spSaturation = nullptr;
};
