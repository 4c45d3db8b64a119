#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdlib>

TTempDir::TTempDir()
    : m_dir(QDir::tempPath() + QStringLiteral("/orvo-test-XXXXXX"))
{
}

QString TTempDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = file(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

TScopedSettings::TScopedSettings()
{
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
}

TScopedSettings::~TScopedSettings()
{
    // Back to the process's own config folder, which the test runner made
    // for this process alone (never a folder other processes share).
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
}

QString TScopedSettings::iniFile(const QString& organization, const QString& application) const
{
    const QString app = application.isEmpty() ? organization : application;
    return m_dir.path() + QLatin1Char('/') + organization + QLatin1Char('/') + app +
           QStringLiteral(".ini");
}

QString TScopedSettings::writeIni(const QString& organization, const QByteArray& text) const
{
    const QString file = iniFile(organization);
    QDir().mkpath(QFileInfo(file).path());
    QFile f(file);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return file;
}

QImage MakeSolid(int width, int height, QColor color, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(color);
    return image;
}

QImage MakeGradient(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x % 256, y % 256, (x + y) % 256, 255));
    return format == QImage::Format_ARGB32 ? image : image.convertToFormat(format);
}

QRgb PixelAt(const QImage& image, int x, int y)
{
    if (image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32)
        return image.pixel(x, y);
    return image.pixelColor(x, y).rgba();
}

int MaxChannelDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    const QImage sa = a.convertToFormat(QImage::Format_ARGB32);
    const QImage sb = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < sa.height(); ++y) {
        const uchar* pa = sa.constScanLine(y);
        const uchar* pb = sb.constScanLine(y);
        for (int i = 0; i < sa.width() * 4; ++i)
            worst = std::max(worst, std::abs(int(pa[i]) - int(pb[i])));
    }
    return worst;
}

bool SamePixels(const QImage& a, const QImage& b)
{
    return MaxChannelDifference(a, b) == 0;
}
