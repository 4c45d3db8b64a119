#include "ProgramFolder.h"

#include <QCoreApplication>

QString ExecutableFolder()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}
