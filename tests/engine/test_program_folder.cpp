// The program folder's content as the generator draws it: every folder the
// program reads, enough frames, clip-art and PNG frames, every frame file
// loading and rendering with a transparent opening, deterministic output and
// files kept when they are up to date.

#include "FrameMaker.h"
#include "MyGdiPlus.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <map>

namespace {

// The generator is built beside the program folder, in the content folder
// of the same build.
QString GeneratorPath()
{
    const QString programDir = qEnvironmentVariable("ORVO_PROGRAM_DIR");
    const QStringList candidates = {
        programDir + QStringLiteral("/../content/orvo_content_gen"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/../content/orvo_content_gen"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).absoluteFilePath();
    }
    return QString();
}

struct TRun
{
    int ExitCode = -1;
    QString Output;
};

TRun RunGenerator(const QStringList& Arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(GeneratorPath(), Arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

QStringList Entries(const QString& Folder, QDir::Filters Filters, const QStringList& Patterns = {})
{
    return QDir(Folder).entryList(Patterns, Filters | QDir::NoDotAndDotDot, QDir::Name);
}

// Every file under Folder with its bytes, by relative name.
std::map<QString, QByteArray> Snapshot(const QString& Folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(Folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[QDir(Folder).relativeFilePath(path)] = file.readAll();
    }
    return files;
}

std::map<QString, QDateTime> ModificationTimes(const QString& Folder)
{
    std::map<QString, QDateTime> times;
    QDirIterator it(Folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        times[QDir(Folder).relativeFilePath(path)] = QFileInfo(path).lastModified();
    }
    return times;
}

// One generated program folder shared by the tests that only read it.
class ProgramFolder : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<TTempDir>();
        s_run = RunGenerator({s_dir->path()});
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override
    {
        ASSERT_FALSE(GeneratorPath().isEmpty()) << "orvo_content_gen has not been built";
        ASSERT_EQ(s_run.ExitCode, 0) << s_run.Output.toStdString();
    }

    static QString Path(const QString& Relative) { return s_dir->file(Relative); }

    static std::unique_ptr<TTempDir> s_dir;
    static TRun s_run;
};

std::unique_ptr<TTempDir> ProgramFolder::s_dir;
TRun ProgramFolder::s_run;

TEST_F(ProgramFolder, FrameCategoriesHoldFrameFilesOfTheirKind)
{
    const QStringList categories = Entries(Path("Frame"), QDir::Dirs);
    EXPECT_EQ(categories, (QStringList{"Classic", "Gallery", "Ornate", "Textured", "User"}));
    // The designers store new frames in User, which ships empty.
    EXPECT_TRUE(Entries(Path("Frame/User"), QDir::AllEntries).isEmpty());

    const std::map<QString, uint8_t> kinds = {{"Classic", ftSimple},
                                              {"Textured", ftSimple},
                                              {"Ornate", ftOrnate},
                                              {"Gallery", ftPicture}};
    int frames = 0;
    for (const auto& [category, kind] : kinds) {
        const QStringList files = Entries(Path("Frame/" + category), QDir::Files);
        EXPECT_GE(files.size(), 6) << category.toStdString();
        for (const QString& name : files) {
            EXPECT_TRUE(name.endsWith(".okx")) << name.toStdString();
            EXPECT_EQ(GetFrameFileType(Path("Frame/" + category + "/" + name)), kind)
                << name.toStdString();
            ++frames;
        }
    }
    EXPECT_GE(frames, 24);
}

TEST_F(ProgramFolder, EveryFrameFileLoadsAndRendersWithATransparentOpening)
{
    QDirIterator it(Path("Frame"), {"*.okx"}, QDir::Files, QDirIterator::Subdirectories);
    int checked = 0;
    while (it.hasNext()) {
        const QString file = it.next();
        SCOPED_TRACE(file.toStdString());
        std::unique_ptr<TFrameMakerBase> maker = CreateFrameMaker(GetFrameFileType(file));
        ASSERT_TRUE(maker);
        maker->LoadFromFile(file);
        maker->SetWidth(400);
        maker->SetHeight(300);
        QImage frame;
        maker->Render(frame);
        ASSERT_FALSE(frame.isNull());
        // Ornate frames round down to whole tiles; none loses more than one.
        EXPECT_GT(frame.width(), 400 - 81);
        EXPECT_GT(frame.height(), 300 - 81);
        EXPECT_LE(frame.width(), 400);
        EXPECT_LE(frame.height(), 300);
        EXPECT_EQ(AlphaAt(frame, frame.width() / 2, frame.height() / 2), 0);
        EXPECT_EQ(AlphaAt(frame, 1, 1), 255);
        EXPECT_GT(maker->GetTopBand(), 0);
        EXPECT_GT(maker->GetLeftBand(), 0);
        ++checked;
    }
    EXPECT_GE(checked, 24);
}

TEST_F(ProgramFolder, ClipArtCategoriesHoldTransparentPictures)
{
    const QStringList categories = Entries(Path("clipart"), QDir::Dirs);
    EXPECT_GE(categories.size(), 3);
    int pictures = 0;
    for (const QString& category : categories) {
        const QStringList files = Entries(Path("clipart/" + category), QDir::Files);
        EXPECT_GE(files.size(), 6) << category.toStdString();
        for (const QString& name : files) {
            SCOPED_TRACE((category + "/" + name).toStdString());
            EXPECT_TRUE(name.endsWith(".png"));
            const QImage picture = DecodeImageFile(Path("clipart/" + category + "/" + name));
            ASSERT_FALSE(picture.isNull());
            ASSERT_TRUE(picture.hasAlphaChannel());
            int transparent = 0;
            int opaque = 0;
            for (int y = 0; y < picture.height(); y += 4) {
                for (int x = 0; x < picture.width(); x += 4) {
                    const int alpha = AlphaAt(picture, x, y);
                    transparent += alpha == 0;
                    opaque += alpha == 255;
                }
            }
            EXPECT_GT(transparent, 0);
            EXPECT_GT(opaque, 0);
            ++pictures;
        }
    }
    EXPECT_GE(pictures, 30);
}

TEST_F(ProgramFolder, PngFramesAndTheDefaultFrameHaveAnOpening)
{
    QStringList frames;
    for (const QString& name : Entries(Path("png"), QDir::Files, {"*.png"}))
        frames << Path("png/" + name);
    EXPECT_GE(frames.size(), 6);
    frames << Path("Default.png");
    for (const QString& file : frames) {
        SCOPED_TRACE(file.toStdString());
        const QImage frame = DecodeImageFile(file);
        ASSERT_EQ(frame.size(), QSize(800, 600));
        EXPECT_EQ(AlphaAt(frame, 400, 300), 0);
        EXPECT_EQ(AlphaAt(frame, 5, 300), 255);
        EXPECT_EQ(AlphaAt(frame, 400, 595), 255);
    }
    // The PNG export writes into PNG/ by default; it must exist.
    EXPECT_TRUE(QFileInfo(Path("PNG")).isDir());
}

TEST_F(ProgramFolder, DefaultPhotoTexturesAndHelp)
{
    const QImage photo = DecodeImageFile(Path("Default.jpg"));
    EXPECT_GE(photo.width(), 1600);
    EXPECT_GE(photo.height(), 1200);
    // A landscape: blue sky above, green meadow below.
    const QRgb sky = PixelAt(photo, photo.width() / 4, 20);
    const QRgb meadow = PixelAt(photo, photo.width() / 2, photo.height() - 40);
    EXPECT_GT(qBlue(sky), qRed(sky));
    EXPECT_GT(qGreen(meadow), qBlue(meadow));

    const QStringList textures = Entries(Path("bkpic"), QDir::Files);
    EXPECT_GE(textures.size(), 6);
    for (const QString& name : textures) {
        const QImage texture = DecodeImageFile(Path("bkpic/" + name));
        EXPECT_EQ(texture.size(), QSize(128, 128)) << name.toStdString();
    }

    QFile help(Path("help.html"));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    const QByteArray page = help.readAll();
    EXPECT_TRUE(page.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(page.trimmed().endsWith("</html>"));
    EXPECT_TRUE(page.contains("Open Photo..."));
}

TEST(ProgramFolderGenerator, OutputIsTheSameOnEveryRunAndUpToDateFilesAreKept)
{
    ASSERT_FALSE(GeneratorPath().isEmpty()) << "orvo_content_gen has not been built";
    TTempDir first;
    TTempDir second;
    ASSERT_EQ(RunGenerator({first.path()}).ExitCode, 0);
    ASSERT_EQ(RunGenerator({second.path(), "--force"}).ExitCode, 0);
    const auto drawn = Snapshot(first.path());
    EXPECT_GT(drawn.size(), 90u);
    EXPECT_TRUE(drawn == Snapshot(second.path()));

    // A second run into the same folder rewrites nothing...
    const auto times = ModificationTimes(first.path());
    const TRun again = RunGenerator({first.path()});
    ASSERT_EQ(again.ExitCode, 0);
    EXPECT_TRUE(again.Output.contains("0 written")) << again.Output.toStdString();
    EXPECT_TRUE(times == ModificationTimes(first.path()));

    // ...but draws a missing file again, byte for byte as before.
    const QString lost = first.file("clipart/Love/red-heart.png");
    ASSERT_TRUE(QFile::remove(lost));
    const TRun repair = RunGenerator({first.path()});
    ASSERT_EQ(repair.ExitCode, 0);
    EXPECT_TRUE(repair.Output.contains("1 written")) << repair.Output.toStdString();
    EXPECT_TRUE(drawn == Snapshot(first.path()));
}

TEST(ProgramFolderGenerator, RefusesBadArgumentsAndReportsAFolderItCannotWrite)
{
    ASSERT_FALSE(GeneratorPath().isEmpty()) << "orvo_content_gen has not been built";
    EXPECT_EQ(RunGenerator({}).ExitCode, 2);
    EXPECT_EQ(RunGenerator({"a", "b"}).ExitCode, 2);

    // A file where the program folder should be.
    TTempDir dir;
    const QString blocked = dir.write("blocked", "not a folder");
    const TRun run = RunGenerator({blocked});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Output.contains("Cannot create")) << run.Output.toStdString();
}

} // namespace
