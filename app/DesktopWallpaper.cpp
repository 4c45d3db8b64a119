#include "DesktopWallpaper.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
// A desktop tool that does not answer within this time is taken as absent.
constexpr int kToolTimeoutMs = 5000;

bool Names(const QStringList& desktops, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (desktops.contains(QString::fromLatin1(name)))
            return true;
    return false;
}

// A gsettings string value as it prints it back: in single quotes.
QString Quoted(const QString& value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}
} // namespace

QStringList TDesktopWallpaper::CurrentDesktops()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP")
        .toUpper()
        .split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

bool TDesktopWallpaper::SetWallpaper(const QString& FileName)
{
    const QString path = QFileInfo(FileName).absoluteFilePath();
    const QString uri = QUrl::fromLocalFile(path).toString();
    const QStringList desktops = CurrentDesktops();
    if (Names(desktops, {"KDE"}))
        return SetPlasma(path);
    if (Names(desktops, {"XFCE"}))
        return SetXfce(path);
    if (Names(desktops, {"MATE"}))
        return SetGnome(QStringLiteral("org.mate.background"), QStringLiteral("picture-filename"),
                        path);
    if (Names(desktops, {"X-CINNAMON", "CINNAMON"}))
        return SetGnome(QStringLiteral("org.cinnamon.desktop.background"),
                        QStringLiteral("picture-uri"), uri);
    if (Names(desktops, {"GNOME", "UNITY", "BUDGIE", "PANTHEON", "GNOME-FLASHBACK"}))
        return SetGnome(QStringLiteral("org.gnome.desktop.background"),
                        QStringLiteral("picture-uri"), uri);
    return false;
}

bool TDesktopWallpaper::Run(const QString& Program, const QStringList& Arguments, QString* Output)
{
    if (QStandardPaths::findExecutable(Program).isEmpty())
        return false;
    QProcess process;
    process.start(Program, Arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (Output)
        *Output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool TDesktopWallpaper::SetKey(const QString& Schema, const QString& Key, const QString& Value)
{
    const QString gsettings = QStringLiteral("gsettings");
    if (!Run(gsettings, {QStringLiteral("set"), Schema, Key, Value}))
        return false;
    QString stored;
    return Run(gsettings, {QStringLiteral("get"), Schema, Key}, &stored) && stored == Quoted(Value);
}

bool TDesktopWallpaper::SetGnome(const QString& Schema, const QString& FileKey,
                                 const QString& Value)
{
    if (!SetKey(Schema, QStringLiteral("picture-options"), QStringLiteral("centered")))
        return false;
    // The dark-style key is missing on older desktops; the light one decides.
    if (FileKey == QStringLiteral("picture-uri"))
        Run(QStringLiteral("gsettings"),
            {QStringLiteral("set"), Schema, QStringLiteral("picture-uri-dark"), Value});
    return SetKey(Schema, FileKey, Value);
}

bool TDesktopWallpaper::SetPlasma(const QString& FileName)
{
    QString escaped = FileName;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    // FillMode 6 is "centred" in Plasma's image wallpaper.
    const QString script =
        QStringLiteral("for (const d of desktops()) {"
                       " d.wallpaperPlugin = 'org.kde.image';"
                       " d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];"
                       " d.writeConfig('Image', 'file://%1');"
                       " d.writeConfig('FillMode', 6); }")
            .arg(escaped);
    for (const QString& tool : {QStringLiteral("qdbus6"), QStringLiteral("qdbus")}) {
        if (Run(tool, {QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                       QStringLiteral("org.kde.PlasmaShell.evaluateScript"), script}))
            return true;
    }
    return false;
}

bool TDesktopWallpaper::SetXfce(const QString& FileName)
{
    const QString tool = QStringLiteral("xfconf-query");
    const QString channel = QStringLiteral("xfce4-desktop");
    QString listing;
    if (!Run(tool, {QStringLiteral("-c"), channel, QStringLiteral("-l")}, &listing))
        return false;
    bool any = false;
    for (const QString& property : listing.split(QLatin1Char('\n'))) {
        if (!property.endsWith(QStringLiteral("/last-image")))
            continue;
        QString style = property;
        style.chop(QStringLiteral("last-image").size());
        style += QStringLiteral("image-style");
        // Image style 1 is "centred".
        Run(tool, {QStringLiteral("-c"), channel, QStringLiteral("-p"), style, QStringLiteral("-s"),
                   QStringLiteral("1")});
        any |= Run(tool, {QStringLiteral("-c"), channel, QStringLiteral("-p"), property,
                          QStringLiteral("-s"), FileName});
    }
    return any;
}
