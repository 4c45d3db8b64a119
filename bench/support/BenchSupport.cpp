#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <cstdio>

int RunBenchmarks(int argc, char** argv, const std::function<bool()>& Start,
                  const std::function<void()>& Finish)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    if (Start && !Start())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (Finish)
        Finish();
    benchmark::Shutdown();
    return 0;
}

TStartupFolders::TStartupFolders()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    QDir().mkpath(m_settings.path() + QStringLiteral("/Brimlow"));
    QFile ini(m_settings.path() + QStringLiteral("/Brimlow/Brimlow.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[General]\nTips=0\n");
    ini.close();

    ProgramFolder = QStringLiteral(ORVO_PROGRAM_DIR) + QLatin1Char('/');
    LargeFolder = m_large.path() + QLatin1Char('/');
    QFile::copy(ProgramFolder + QStringLiteral("Default.png"),
                LargeFolder + QStringLiteral("Default.png"));
    const QImage photo(ProgramFolder + QStringLiteral("Default.jpg"));
    if (photo.isNull()) {
        std::fprintf(stderr, "No Default.jpg in %s\n", qPrintable(ProgramFolder));
        return;
    }
    photo.scaled(6000, 4000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .save(LargeFolder + QStringLiteral("Default.jpg"), "JPG", 92);
    m_ready = true;
}

QImage MakeDetailedPhoto(int width, int height, int variant)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int shift = variant * 97;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(((x + shift) * 255 / width) & 0xFF, ((y + shift) * 255 / height) & 0xFF,
                           ((x + variant) ^ (y * (1 + variant % 3))) & 0xFF);
    }
    return image;
}

QImage MakeBandFramePicture(int width, int height, int band)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QPainterPath path;
    path.addRect(0, 0, width, height);
    path.addRect(band, band, width - 2 * band, height - 2 * band);
    path.setFillRule(Qt::OddEvenFill);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(120, 70, 20));
    gradient.setColorAt(0.5, QColor(220, 180, 90));
    gradient.setColorAt(1, QColor(90, 50, 10));
    p.fillPath(path, gradient);
    return image;
}
