#pragma once

// Names of the frame files the designers store: the user category of the
// program folder, the local date and time as "YYYYMMDDHHMMSS", ".okx".

#include <QDateTime>
#include <QString>

// ProgramFolder ends with "/". The user category is the folder under
// "Frame" named "user" whatever its letter case, found as the side panel
// lists the categories; "User" when there is none. When a file of the plain
// name exists already (two designs stored within one second), "_2", "_3" ...
// is added before the extension, so a new design never replaces an earlier
// one.
QString NewFrameFileName(const QString& ProgramFolder, const QDateTime& Now);
