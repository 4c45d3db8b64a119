#pragma once

// The rule that ties a numeric edit to its track bar: a blank text becomes
// "0" (which runs the rule again through the edit's change signal), then the
// text as a whole number becomes the track bar's position, clamped to its
// range. A text that is not a whole number raises EConvertError and leaves
// the track bar as it was.

class QLineEdit;
class QSlider;

void ApplyNumericEdit(QLineEdit& Edit, QSlider& TrackBar);
