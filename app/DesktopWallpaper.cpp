#include "DesktopWallpaper.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
// A desktop tool that does not answer within this time is taken as absent.
constexpr int kToolTimeoutMs = 5000;
} // namespace

bool TDesktopWallpaper::SetWallpaper(const QString& FileName)
{
    const QString path = QFileInfo(FileName).absoluteFilePath();
    return SetGnome(path) || SetPlasma(path) || SetXfce(path);
}

bool TDesktopWallpaper::Run(const QString& Program, const QStringList& Arguments)
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
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool TDesktopWallpaper::SetGnome(const QString& FileName)
{
    const QString schema = QStringLiteral("org.gnome.desktop.background");
    const QString uri = QUrl::fromLocalFile(FileName).toString();
    if (!Run(QStringLiteral("gsettings"),
             {QStringLiteral("set"), schema, QStringLiteral("picture-options"),
              QStringLiteral("centered")}))
        return false;
    // The dark-style key is missing on older desktops; the light one decides.
    Run(QStringLiteral("gsettings"),
        {QStringLiteral("set"), schema, QStringLiteral("picture-uri-dark"), uri});
    return Run(QStringLiteral("gsettings"),
               {QStringLiteral("set"), schema, QStringLiteral("picture-uri"), uri});
}

bool TDesktopWallpaper::SetPlasma(const QString& FileName)
{
    QString escaped = FileName;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('"'), QStringLiteral("\\\""));
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
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return false;
    QProcess list;
    list.start(tool, {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-l")});
    if (!list.waitForFinished(kToolTimeoutMs) || list.exitCode() != 0)
        return false;
    bool any = false;
    const QStringList properties =
        QString::fromLocal8Bit(list.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& property : properties) {
        if (property.endsWith(QStringLiteral("/last-image"))) {
            QString style = property;
            style.chop(QStringLiteral("last-image").size());
            style += QStringLiteral("image-style");
            // Image style 1 is "centred".
            Run(tool, {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-p"),
                       style, QStringLiteral("-s"), QStringLiteral("1")});
            any |= Run(tool, {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                              QStringLiteral("-p"), property, QStringLiteral("-s"), FileName});
        }
    }
    return any;
}
