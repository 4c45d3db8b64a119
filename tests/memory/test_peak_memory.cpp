// Peak memory: each step of the program runs on one crafted file in a fresh
// process of a small helper, which reports the process's peak resident
// memory. No input under 10 MB may take the process above 1.5 GB.

#include "TestSupport.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

constexpr long LimitMB = 1536;

struct TProbeResult
{
    long PeakMB = -1;
    QString Error;
};

TProbeResult Probe(const QString& step, const QString& file)
{
    QProcess process;
    process.start(QStringLiteral(ORVO_PEAK_PROBE), {step, file});
    TProbeResult result;
    if (!process.waitForFinished(120000))
        return result;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(QStringLiteral("peak_mb ")))
            result.PeakMB = line.mid(8).toLong();
        else if (line.startsWith(QStringLiteral("error ")))
            result.Error = line.mid(6);
    }
    return result;
}

TEST(PeakMemoryTest, NoSmallFileTakesTheProcessAboveItsLimit)
{
    TTempDir dir;
    QProcess make;
    make.start(QStringLiteral(ORVO_PEAK_PROBE), {QStringLiteral("make"), dir.path()});
    ASSERT_TRUE(make.waitForFinished(120000));
    ASSERT_EQ(make.exitCode(), 0);

    const QString jpeg = dir.file(QStringLiteral("declares16000.jpg"));
    const QString pieces = dir.file(QStringLiteral("declares16000.okx"));
    const QString texture = dir.file(QStringLiteral("texture16000.okx"));
    const QString photo = dir.file(QStringLiteral("photo100mp.jpg"));
    // What their readers' sizes do not tell: GIF screens, ICO entries, a
    // progressive JPEG's coefficients and its scans.
    const QString gifs = dir.file(QStringLiteral("gifs.okx"));
    const QString icos = dir.file(QStringLiteral("icos.okx"));
    const QString screen = dir.file(QStringLiteral("screen9000.gif"));
    const QString progressive = dir.file(QStringLiteral("progressive.jpg"));
    const QString scans = dir.file(QStringLiteral("scans.jpg"));
    for (const QString& file : {jpeg, pieces, texture, photo, gifs, icos, screen})
        ASSERT_LT(QFileInfo(file).size(), 10 << 20) << file.toStdString();

    const struct
    {
        const char* step;
        QString file;
        bool refused;
    } cases[] = {
        {"framethumb", pieces, false}, {"frameopen", pieces, true},    {"photo", jpeg, true},
        {"pngframe", jpeg, true},      {"clipart", jpeg, true},        {"pngthumb", jpeg, false},
        {"texture", jpeg, true},       {"framethumb", texture, false}, {"frameopen", texture, true},
        {"photo", photo, false},       {"pngthumb", photo, false},     {"batch", photo, false},
        {"frameopen", gifs, true},     {"frameopen", icos, true},      {"batch", screen, false},
        {"photo", progressive, true},  {"photo", scans, true},
    };
    for (const auto& c : cases) {
        const TProbeResult result = Probe(QString::fromLatin1(c.step), c.file);
        const std::string name = std::string(c.step) + " " + c.file.toStdString();
        EXPECT_GT(result.PeakMB, 0) << name;
        EXPECT_LT(result.PeakMB, LimitMB) << name;
        EXPECT_EQ(result.Error.contains(QStringLiteral("is too large")) ||
                      result.Error.contains(QStringLiteral("too many scans")),
                  c.refused)
            << name << ": " << result.Error.toStdString();
        std::printf("[ peak     ] %-10s %-18s %5ld MB\n", c.step,
                    QFileInfo(c.file).fileName().toLocal8Bit().constData(), result.PeakMB);
    }
}

} // namespace
