#include "NewFrameFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The user category's folder name under the program folder's "Frame".
QString UserCategoryName(const QString& ProgramFolder)
{
    const QDir frames(ProgramFolder + QStringLiteral("/Frame/"));
    const QStringList entries =
        frames.entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDir::Name | QDir::IgnoreCase);
    for (const QString& name : entries)
        if (name.compare(QStringLiteral("user"), Qt::CaseInsensitive) == 0)
            return name;
    return QStringLiteral("User");
}

} // namespace

QString NewFrameFileName(const QString& ProgramFolder, const QDateTime& Now)
{
    // The same joined form as the side panel's listing of the category.
    const QString stem = ProgramFolder + QStringLiteral("/Frame/") +
                         UserCategoryName(ProgramFolder) + QLatin1Char('/') +
                         Now.toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString ext = QStringLiteral(".okx");
    QString name = stem + ext;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QLatin1Char('_') + QString::number(n) + ext;
    return name;
}
