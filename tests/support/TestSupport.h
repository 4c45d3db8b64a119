#pragma once

// What the tests share: temporary folders, settings kept in a temporary
// place, and picture comparison.

#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A temporary folder that is removed with everything in it when the test ends.
class TTempDir
{
public:
    TTempDir();
    QString path() const { return m_dir.path(); }
    // The full path of a name inside the folder.
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // Writes bytes to a file inside the folder and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};

// Points QSettings (user scope, INI format) at a temporary folder for the
// lifetime of the object, so tests never touch the real settings; afterwards
// back at the test process's own config folder.
class TScopedSettings
{
public:
    TScopedSettings();
    ~TScopedSettings();
    QString path() const { return m_dir.path(); }
    // The INI file that QSettings("Brimlow", app) would use.
    QString iniFile(const QString& organization, const QString& application = QString()) const;
    // Writes the organisation's own INI file ("Brimlow/Brimlow.ini") as text
    // and returns its path.
    QString writeIni(const QString& organization, const QByteArray& text) const;

private:
    TTempDir m_dir;
};

// A solid-colour picture in the given format.
QImage MakeSolid(int width, int height, QColor color,
                 QImage::Format format = QImage::Format_ARGB32);
// A picture whose every pixel is distinct: red from x, green from y, blue
// from (x + y), fully opaque.
QImage MakeGradient(int width, int height, QImage::Format format = QImage::Format_ARGB32);

// The largest difference of any channel (alpha included) between two
// pictures of equal size; -1 when the sizes differ.
int MaxChannelDifference(const QImage& a, const QImage& b);
// True when both pictures have the same size and every pixel is equal
// (compared as straight ARGB).
bool SamePixels(const QImage& a, const QImage& b);
// The pixel as straight ARGB.
QRgb PixelAt(const QImage& image, int x, int y);
// Alpha of a pixel.
inline int AlphaAt(const QImage& image, int x, int y)
{
    return qAlpha(PixelAt(image, x, y));
}
