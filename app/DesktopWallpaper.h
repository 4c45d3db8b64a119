#pragma once

// Sets the wallpaper through the running desktop's own setting: the GNOME
// family's background settings, KDE Plasma's shell script interface or
// Xfce's desktop properties, whichever answers first.

#include "DesktopServices.h"

#include <QStringList>

class TDesktopWallpaper : public TWallpaperSetter
{
public:
    bool SetWallpaper(const QString& FileName) override;

private:
    // Runs a program to its end; true when it started and exited with 0.
    static bool Run(const QString& Program, const QStringList& Arguments);
    static bool SetGnome(const QString& FileName);
    static bool SetPlasma(const QString& FileName);
    static bool SetXfce(const QString& FileName);
};
