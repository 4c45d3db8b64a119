#include "NewFrameFile.h"

#include <QFileInfo>

QString NewFrameFileName(const QString& ProgramFolder, const QDateTime& Now)
{
    // The same joined form as the side panel's listing of the category.
    const QString stem = ProgramFolder + QStringLiteral("/Frame/User/") +
                         Now.toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString ext = QStringLiteral(".okx");
    QString name = stem + ext;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QLatin1Char('_') + QString::number(n) + ext;
    return name;
}
