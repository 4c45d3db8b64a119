#pragma once

// Names of the frame files the designers store: the user category of the
// program folder, the local date and time as "YYYYMMDDHHMMSS", ".okx".

#include <QDateTime>
#include <QString>

// ProgramFolder ends with "/". When a file of the plain name exists already
// (two designs stored within one second), "_2", "_3" ... is added before the
// extension, so a new design never replaces an earlier one.
QString NewFrameFileName(const QString& ProgramFolder, const QDateTime& Now);
