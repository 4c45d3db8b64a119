// The wallpaper through the desktop's settings, against stand-in desktop
// tools put first on the search path.

#include "DesktopWallpaper.h"
#include "TestSupport.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

namespace {
// Sets an environment variable for the lifetime of the object.
class TScopedEnv
{
public:
    TScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~TScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

// A gsettings stand-in that keeps each key in a file named after it; with
// Forgetful, "set" succeeds and "get" answers the empty string, as without a
// running settings service.
QString WriteFakeGsettings(const TTempDir& dir, bool Forgetful)
{
    const QString store = dir.path();
    QByteArray script = "#!/bin/sh\n";
    if (Forgetful)
        script += "if [ \"$1\" = get ]; then echo \"''\"; fi\nexit 0\n";
    else
        script += "f=\"" + store.toUtf8() +
                  "/$2.$3\"\n"
                  "case \"$1\" in\n"
                  "  set) printf '%s' \"$4\" > \"$f\" ;;\n"
                  "  get) [ -f \"$f\" ] || exit 1; printf \"'%s'\\n\" \"$(cat \"$f\")\" ;;\n"
                  "esac\n";
    const QString path = dir.write(QStringLiteral("gsettings"), script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return store;
}

QByteArray Stored(const QString& store, const QString& key)
{
    QFile f(store + QStringLiteral("/org.gnome.desktop.background.") + key);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(DesktopWallpaper, GnomeGetsThePictureCentred)
{
    TTempDir tools;
    const QString store = WriteFakeGsettings(tools, false);
    TScopedEnv desktop("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    TScopedEnv path("PATH", tools.path().toUtf8() + ":" + qgetenv("PATH"));
    TTempDir pictures;
    const QString picture = pictures.write(QStringLiteral("Wallpaper.jpg"), "jpeg");

    TDesktopWallpaper wallpaper;
    EXPECT_TRUE(wallpaper.SetWallpaper(picture));
    EXPECT_EQ(Stored(store, QStringLiteral("picture-options")), QByteArray("centered"));
    EXPECT_EQ(Stored(store, QStringLiteral("picture-uri")),
              QUrl::fromLocalFile(picture).toString().toUtf8());
}

TEST(DesktopWallpaper, AWriteThatDoesNotStickIsNoSuccess)
{
    TTempDir tools;
    WriteFakeGsettings(tools, true);
    TScopedEnv desktop("XDG_CURRENT_DESKTOP", "GNOME");
    TScopedEnv path("PATH", tools.path().toUtf8() + ":" + qgetenv("PATH"));
    TTempDir pictures;
    TDesktopWallpaper wallpaper;
    EXPECT_FALSE(wallpaper.SetWallpaper(pictures.write(QStringLiteral("Wallpaper.jpg"), "x")));
}

TEST(DesktopWallpaper, NoKnownDesktopTakesNothing)
{
    TScopedEnv desktop("XDG_CURRENT_DESKTOP", "");
    TTempDir pictures;
    TDesktopWallpaper wallpaper;
    EXPECT_FALSE(wallpaper.SetWallpaper(pictures.write(QStringLiteral("Wallpaper.jpg"), "x")));
    EXPECT_TRUE(TDesktopWallpaper::CurrentDesktops().isEmpty());
}
