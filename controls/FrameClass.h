#pragma once

// The canvas's frame layer: a picture stretched to its box, whose transparent
// pixels let presses through to the photo below.

#include "PicClass.h"

class TFrameClass : public TPicClass
{
public:
    explicit TFrameClass(QWidget* owner);

    // A hit on a display pixel with alpha above 0, or (while Selected) on a
    // handle square.
    bool HitTest(int px, int py) override;

    // Loads the file stretched to exactly BoxW x BoxH and centres it in Box,
    // halves rounded to even. Does not fail: a file that cannot be decoded
    // leaves an empty picture with the requested rectangle.
    void LoadFromFile(const QString& fileName, int boxW, int boxH, const TGPRect& box,
                      bool inset) override;
};
