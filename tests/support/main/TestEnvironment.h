#pragma once

// What every test process starts with, whether ctest or a person runs it:
// no display needed, times read in UTC, and the build's program folder.

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

inline void PrepareTestEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    qputenv("TZ", QByteArray("UTC"));
    tzset();
    if (qEnvironmentVariableIsEmpty("ORVO_PROGRAM_DIR"))
        qputenv("ORVO_PROGRAM_DIR", QByteArray(ORVO_PROGRAM_DIR));
}
