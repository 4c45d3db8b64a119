#pragma once

// The one stored setting: whether the tip of the day is shown at start-up.
// Kept with QSettings under the organisation "Brimlow" as the integer "Tips"
// (1 show, 0 do not).

// Reads the setting. A missing value, a value that is not an integer or a
// failure while reading counts as true; an integer stored as text (as the INI
// format keeps it) counts as that integer. The organisation's settings file
// is created, empty, when it is missing.
bool ReadTipsSetting();

// Writes "Tips" := 1 or 0 and flushes it to storage. Returns false when the
// storage reports an error.
bool WriteTipsSetting(bool Show);
