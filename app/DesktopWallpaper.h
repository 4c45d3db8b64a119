#pragma once

// Sets the wallpaper through the running desktop's own setting: the GNOME
// family's background settings (GNOME, Unity, Budgie, Cinnamon, MATE), KDE
// Plasma's shell script interface or Xfce's desktop properties, chosen by the
// desktop the session names.

#include "DesktopServices.h"

#include <QStringList>

class TDesktopWallpaper : public TWallpaperSetter
{
public:
    bool SetWallpaper(const QString& FileName) override;

    // The desktops the session names (XDG_CURRENT_DESKTOP), upper case.
    static QStringList CurrentDesktops();

private:
    // Runs a program to its end; true when it started and exited with 0.
    // Output, when asked for, receives what it printed.
    static bool Run(const QString& Program, const QStringList& Arguments,
                    QString* Output = nullptr);
    // Sets a key of a background schema and reads it back: without a running
    // settings service a write can succeed and change nothing.
    static bool SetKey(const QString& Schema, const QString& Key, const QString& Value);
    static bool SetGnome(const QString& Schema, const QString& FileKey, const QString& Value);
    static bool SetPlasma(const QString& FileName);
    static bool SetXfce(const QString& FileName);
};
