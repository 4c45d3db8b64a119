#pragma once

// Brightness, contrast and gamma of the photo, previewed live on the canvas.

#include "AdjustDialog.h"

class TfrmBrightness : public TfrmAdjustBase
{
    Q_OBJECT

public:
    explicit TfrmBrightness(QWidget* Owner);

    // Preview mode on before the dialog is first shown.
    void FormCreate();
    // Shared by all three track bars.
    void spLightLessChange();
    std::unique_ptr<TEffectBase> BuildEffect() const override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QSlider* spLightLess = nullptr;
    QSlider* spContrast = nullptr;
    QSlider* spGamma = nullptr;
};
