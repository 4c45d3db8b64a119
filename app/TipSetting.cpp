#include "TipSetting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>

namespace {
// Kept in the organisation's own file ("Brimlow/Brimlow" in the user's
// settings folder, INI format).
const QString kOrganization = QStringLiteral("Brimlow");
const QString kValueName = QStringLiteral("Tips");

// The organisation's entry is made, empty, when it is missing, as opening a
// registry key with creation allowed makes it. Whether that works changes
// nothing in what is read.
void CreateMissingEntry(const QString& FileName)
{
    if (FileName.isEmpty() || QFileInfo::exists(FileName))
        return;
    QDir().mkpath(QFileInfo(FileName).path());
    QFile(FileName).open(QIODevice::WriteOnly | QIODevice::NewOnly);
}
} // namespace

bool ReadTipsSetting()
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, kOrganization, kOrganization);
    CreateMissingEntry(settings.fileName());
    if (settings.status() != QSettings::NoError)
        return true;
    const QVariant value = settings.value(kValueName);
    if (!value.isValid())
        return true;
    bool isInteger = false;
    const int number = value.toString().trimmed().toInt(&isInteger);
    if (!isInteger)
        return true;
    return number != 0;
}

bool WriteTipsSetting(bool Show)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, kOrganization, kOrganization);
    settings.setValue(kValueName, Show ? 1 : 0);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
