#include "TipSetting.h"

#include <QSettings>
#include <QVariant>

namespace {
// Kept in the organisation's own file ("Brimlow/Brimlow" in the user's
// settings folder, INI format).
const QString kOrganization = QStringLiteral("Brimlow");
const QString kValueName = QStringLiteral("Tips");
} // namespace

bool ReadTipsSetting()
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, kOrganization, kOrganization);
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
