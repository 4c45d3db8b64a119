#pragma once

// The red, green and blue balance of the photo, previewed live on the canvas.

#include "AdjustDialog.h"

class TfrmAdjustRGB : public TfrmAdjustBase
{
    Q_OBJECT

public:
    explicit TfrmAdjustRGB(QWidget* Owner);

    // Preview mode on before the dialog is first shown.
    void FormCreate();
    // Shared by all three track bars.
    void spBlueChange();
    std::unique_ptr<TEffectBase> BuildEffect() const override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QSlider* spRed = nullptr;
    QSlider* spGreen = nullptr;
    QSlider* spBlue = nullptr;
};
