// The program folder's content as the generator draws it: every folder the
// program reads, enough frames, clip-art and PNG frames, every frame file
// loading and rendering with a transparent opening, deterministic output and
// files kept when they are up to date; and the drawing classes behind it:
// the writer's up-to-date rules, seamless tiles and strips, the cut of a
// picture frame's twelve pieces.

#include "ClipArtPainter.h"
#include "ContentWriter.h"
#include "FrameLibrary.h"
#include "FrameMaker.h"
#include "HelpWriter.h"
#include "LandscapePainter.h"
#include "MoldingPainter.h"
#include "MyGdiPlus.h"
#include "OrnateTilePainter.h"
#include "PicFrameMaker.h"
#include "PngFramePainter.h"
#include "SeededRandom.h"
#include "ShapePaths.h"
#include "TexturePainter.h"
#include "TileNoise.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

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

// ---------------------------------------------------------------------------
// The writer

QByteArray ReadAll(const QString& Path)
{
    QFile file(Path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

TEST(ContentWriter, DrawsOnlyWhatIsMissingOrMadeByAnotherGenerator)
{
    TTempDir dir;
    int draws = 0;
    auto make = [&] {
        ++draws;
        return QByteArray("content");
    };
    {
        TContentWriter writer(dir.path(), "one", false);
        EXPECT_TRUE(writer.NeedsWriting("a/b.txt"));
        writer.WriteBytes("a/b.txt", make);
        writer.WriteBytes("c.txt", make);
        writer.Finish();
        EXPECT_EQ(writer.Written(), 2);
        EXPECT_EQ(draws, 2);
    }
    EXPECT_EQ(ReadAll(dir.file("a/b.txt")), "content");
    EXPECT_EQ(ReadAll(dir.file(".orvo-content")), "orvo content one\n");

    // The same generator again: nothing is drawn; a missing file is.
    ASSERT_TRUE(QFile::remove(dir.file("c.txt")));
    {
        TContentWriter writer(dir.path(), "one", false);
        EXPECT_FALSE(writer.NeedsWriting("a/b.txt"));
        EXPECT_TRUE(writer.NeedsWriting("c.txt"));
        writer.WriteBytes("a/b.txt", make);
        writer.WriteBytes("c.txt", make);
        EXPECT_EQ(writer.Skipped(), 1);
        EXPECT_EQ(writer.Written(), 1);
        EXPECT_EQ(draws, 3);
    }
    // Another generator, or a forced run, draws everything but keeps files
    // whose bytes come out the same.
    for (const auto& [fingerprint, force] : {std::pair{"two", false}, std::pair{"one", true}}) {
        TContentWriter writer(dir.path(), fingerprint, force);
        EXPECT_TRUE(writer.NeedsWriting("a/b.txt"));
        writer.WriteBytes("a/b.txt", make);
        EXPECT_EQ(writer.Unchanged(), 1);
        EXPECT_EQ(writer.Written(), 0);
    }
    EXPECT_EQ(draws, 5);
}

TEST(ContentWriter, AnUnfinishedRunLeavesTheFolderOutOfDate)
{
    TTempDir dir;
    {
        TContentWriter writer(dir.path(), "one", false);
        writer.WriteBytes("a.txt", [] { return QByteArray("x"); });
        // No Finish: the run stopped part-way.
    }
    TContentWriter writer(dir.path(), "one", false);
    EXPECT_TRUE(writer.NeedsWriting("a.txt"));
}

TEST(ContentWriter, ChangedBytesReplaceTheFileAndPicturesAreEncoded)
{
    TTempDir dir;
    TContentWriter writer(dir.path(), "one", true);
    writer.WriteBytes("a.txt", [] { return QByteArray("old"); });
    writer.WriteBytes("a.txt", [] { return QByteArray("new"); });
    EXPECT_EQ(ReadAll(dir.file("a.txt")), "new");
    EXPECT_EQ(writer.Written(), 2);

    writer.WritePng("p/x.png", [] { return MakeSolid(3, 2, QColor(10, 20, 30, 40)); });
    const QImage png = DecodeImageFile(dir.file("p/x.png"));
    EXPECT_TRUE(SamePixels(png, MakeSolid(3, 2, QColor(10, 20, 30, 40))));

    // JPEG has no alpha channel: the picture is stored opaque.
    writer.WriteJpeg("j.jpg", 100, [] { return MakeSolid(16, 16, QColor(200, 40, 40)); });
    const QImage jpeg = DecodeImageFile(dir.file("j.jpg"));
    ASSERT_EQ(jpeg.size(), QSize(16, 16));
    EXPECT_FALSE(jpeg.hasAlphaChannel());
    EXPECT_LE(MaxChannelDifference(jpeg.convertToFormat(QImage::Format_ARGB32),
                                   MakeSolid(16, 16, QColor(200, 40, 40))),
              4);

    writer.WriteWith("f/made.bin", [](const QString& Path) {
        QFile file(Path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("by name");
    });
    EXPECT_EQ(ReadAll(dir.file("f/made.bin")), "by name");
}

TEST(ContentWriter, FailuresAreReportedNotSkipped)
{
    TTempDir dir;
    const QString blocked = dir.write("blocked", "a file");
    EXPECT_THROW(TContentWriter(blocked, "one", false), std::runtime_error);

    TContentWriter writer(dir.path(), "one", false);
    // A file stands where the folder should be.
    EXPECT_THROW(writer.WriteBytes("blocked/a.txt", [] { return QByteArray("x"); }),
                 std::runtime_error);
    EXPECT_THROW(writer.MakeFolder("blocked/sub"), std::runtime_error);
    // A generator that writes nothing by name.
    EXPECT_THROW(writer.WriteWith("none.bin", [](const QString&) {}), std::runtime_error);
    EXPECT_THROW(TContentWriter::FingerprintOf(dir.file("missing")), std::runtime_error);
    EXPECT_EQ(writer.Written(), 0);
}

TEST(ContentWriter, FingerprintFollowsTheExecutableBytes)
{
    TTempDir dir;
    const QString a = dir.write("a", "generator one");
    const QString b = dir.write("b", "generator two");
    const QString c = dir.write("c", "generator one");
    EXPECT_EQ(TContentWriter::FingerprintOf(a), TContentWriter::FingerprintOf(c));
    EXPECT_NE(TContentWriter::FingerprintOf(a), TContentWriter::FingerprintOf(b));
    EXPECT_EQ(TContentWriter::FingerprintOf(a).size(), 64);
}

// ---------------------------------------------------------------------------
// Seamless pictures

// The mean difference between two columns of a picture.
double ColumnDifference(const QImage& Image, int A, int B)
{
    double sum = 0;
    for (int y = 0; y < Image.height(); ++y) {
        const QRgb p = PixelAt(Image, A, y);
        const QRgb q = PixelAt(Image, B, y);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
               std::abs(qBlue(p) - qBlue(q));
    }
    return sum / Image.height();
}

// The largest difference between neighbouring columns inside the picture.
double LargestInnerStep(const QImage& Image)
{
    double largest = 0;
    for (int x = 0; x + 1 < Image.width(); ++x)
        largest = std::max(largest, ColumnDifference(Image, x, x + 1));
    return largest;
}

TEST(TileNoise, RepeatsWithTheUnitSquareAndStaysInRange)
{
    const TTileNoise noise(5, 3, 4, 3);
    for (double u = 0; u < 1; u += 0.0625) {
        for (double v = 0; v < 1; v += 0.0625) {
            const double n = noise.At(u, v);
            EXPECT_GE(n, 0);
            EXPECT_LE(n, 1);
            EXPECT_DOUBLE_EQ(n, noise.At(u + 1, v));
            EXPECT_DOUBLE_EQ(n, noise.At(u, v - 1));
        }
        // Continuous across the seam.
        EXPECT_NEAR(noise.At(0.99999, u), noise.At(0, u), 0.01);
    }
    EXPECT_DOUBLE_EQ(TTileNoise(5, 3, 4, 3).At(0.3, 0.7), noise.At(0.3, 0.7));
    EXPECT_NE(TTileNoise(6, 3, 4, 3).At(0.3, 0.7), noise.At(0.3, 0.7));
}

TEST(Textures, TileWithoutSeamsInBothDirections)
{
    for (const TTexturePainter::TTexture& texture : TTexturePainter::Catalogue()) {
        SCOPED_TRACE(texture.FileName.toStdString());
        const QImage tile = TTexturePainter::Paint(texture);
        ASSERT_EQ(tile.size(), QSize(128, 128));
        // Where the tile meets its copy, the step is no larger than steps
        // inside it.
        EXPECT_LE(ColumnDifference(tile, 127, 0), LargestInnerStep(tile) + 1);
        const QImage turned = tile.transformed(QTransform().rotate(90));
        EXPECT_LE(ColumnDifference(turned, 127, 0), LargestInnerStep(turned) + 1);
    }
    EXPECT_NE(TTexturePainter::Find("walnut.jpg"), nullptr);
    EXPECT_EQ(TTexturePainter::Find("missing.jpg"), nullptr);
}

TEST(OrnateTiles, MeetTheirNeighbourAlongTheSide)
{
    using D = TOrnateTilePainter::TDesign;
    for (D design : {D::GoldBeads, D::Rope, D::GreekKey, D::Ivy, D::Hearts, D::Checker,
                     D::GoldScroll, D::Pearls}) {
        SCOPED_TRACE(int(design));
        const QImage tile = TOrnateTilePainter::Paint(design);
        ASSERT_EQ(tile.size(), QSize(96, 96));
        EXPECT_FALSE(tile.hasAlphaChannel()); // stored as JPEG
        EXPECT_LE(ColumnDifference(tile, 95, 0), LargestInnerStep(tile) + 1);
    }
}

// ---------------------------------------------------------------------------
// Mouldings and picture frames

TEST(Moldings, FramePictureHasTheGridSizeAndAnOpening)
{
    const QImage picture =
        TMoldingPainter::FramePicture(TMoldingPainter::TStyle::Gilded, 20, 10, 32);
    ASSERT_EQ(picture.size(), QSize(2 * 20 + 32, 2 * 20 + 2 * 10 + 32));
    EXPECT_EQ(AlphaAt(picture, 20, 20), 0);
    EXPECT_EQ(AlphaAt(picture, 19, 20), 255);
    EXPECT_EQ(AlphaAt(picture, 20, 19), 255);
    EXPECT_EQ(AlphaAt(picture, 51, 71), 0);
    EXPECT_EQ(AlphaAt(picture, 52, 71), 255);
    EXPECT_EQ(AlphaAt(picture, 51, 72), 255);
    EXPECT_EQ(AlphaAt(picture, 0, 0), 255);
}

TEST(Moldings, LitSidesAreBrighterThanShadedOnes)
{
    using S = TMoldingPainter::TStyle;
    const QRgb lit = TMoldingPainter::Texel(S::Walnut, 0.5, -1, 1.0, 0.5);
    const QRgb shaded = TMoldingPainter::Texel(S::Walnut, 0.5, -1, -1.0, 0.5);
    EXPECT_GT(qGray(lit), qGray(shaded));
}

TEST(PictureFrames, PiecesFollowTheCutGrid)
{
    const int band = 24;
    const int end = 12;
    const int period = 40;
    std::unique_ptr<TFrameMakerBase> maker =
        TFrameLibrary::MakePictureFrame(TMoldingPainter::TStyle::Walnut, band, end, period);
    EXPECT_EQ(maker->GetTopBand(), band);
    EXPECT_EQ(maker->GetLeftBand(), band);
    EXPECT_EQ(maker->GetAddedWidth(), 2 * band);
    EXPECT_EQ(maker->GetAddedHeight(), 2 * band);

    // At the picture's own size the frame is the picture again.
    const QImage picture =
        TMoldingPainter::FramePicture(TMoldingPainter::TStyle::Walnut, band, end, period);
    maker->SetWidth(picture.width());
    maker->SetHeight(picture.height());
    QImage frame;
    maker->Render(frame);
    ASSERT_EQ(frame.size(), picture.size());
    EXPECT_TRUE(SamePixels(frame, picture));
}

TEST(PictureFrames, RepeatedStripsMeetWithoutASeam)
{
    std::unique_ptr<TFrameMakerBase> maker =
        TFrameLibrary::MakePictureFrame(TMoldingPainter::TStyle::Walnut, 24, 12, 40);
    maker->SetWidth(24 + 40 * 3 + 24);
    maker->SetHeight(300);
    QImage frame;
    maker->Render(frame);
    const QImage top = frame.copy(0, 0, frame.width(), 24);
    // Strip copies meet at x = 24 + 40 and 24 + 80.
    double inner = 0;
    for (int x = 30; x < 60; ++x)
        inner = std::max(inner, ColumnDifference(top, x, x + 1));
    EXPECT_LE(ColumnDifference(top, 63, 64), inner + 1);
    EXPECT_LE(ColumnDifference(top, 103, 104), inner + 1);
}

// ---------------------------------------------------------------------------
// Catalogues and shapes

TEST(Catalogues, NamesAreUniqueAndOfTheRightType)
{
    std::set<QString> names;
    for (const TFrameItem& item : TFrameLibrary::Catalogue()) {
        EXPECT_TRUE(item.FileName.endsWith(".okx"));
        EXPECT_NE(item.Category, TFrameLibrary::UserCategory);
        EXPECT_TRUE(names.insert(item.Category + "/" + item.FileName).second)
            << item.FileName.toStdString();
    }
    for (const TClipArtItem& item : TClipArtPainter::Catalogue()) {
        EXPECT_TRUE(item.FileName.endsWith(".png"));
        EXPECT_TRUE(names.insert("clipart/" + item.Category + "/" + item.FileName).second)
            << item.FileName.toStdString();
    }
    for (const TPngFrameItem& item : TPngFramePainter::Catalogue()) {
        EXPECT_TRUE(item.FileName.endsWith(".png"));
        EXPECT_TRUE(names.insert("png/" + item.FileName).second) << item.FileName.toStdString();
    }
}

TEST(Shapes, FitTheirBoundsAndAreSymmetric)
{
    const QRectF bounds(10, 20, 100, 90);
    const QPainterPath heart = TShapePaths::Heart(bounds);
    EXPECT_TRUE(bounds.adjusted(-1, -1, 1, 1).contains(heart.boundingRect()));
    EXPECT_TRUE(heart.contains(QPointF(60, 70)));  // the middle
    EXPECT_FALSE(heart.contains(QPointF(60, 22))); // the notch at the top
    EXPECT_NEAR(heart.boundingRect().center().x(), 60, 0.5);

    const QPainterPath star = TShapePaths::Star(QPointF(0, 0), 10, 5, 0.5);
    EXPECT_EQ(star.elementCount(), 11); // ten corners and the closing line
    EXPECT_NEAR(star.elementAt(0).x, 0, 1e-9);
    EXPECT_NEAR(star.elementAt(0).y, -10, 1e-9);
    EXPECT_TRUE(star.contains(QPointF(0, 0)));
    // Towards an inner corner (36 degrees from up), beyond the inner radius.
    EXPECT_FALSE(star.contains(QPointF(9 * std::sin(0.6283), -9 * std::cos(0.6283))));

    const QPainterPath diamond = TShapePaths::Diamond(QRectF(0, 0, 40, 20));
    EXPECT_TRUE(diamond.contains(QPointF(20, 10)));
    EXPECT_FALSE(diamond.contains(QPointF(2, 2)));
    EXPECT_EQ(diamond.boundingRect(), QRectF(0, 0, 40, 20));
}

// ---------------------------------------------------------------------------
// Pictures

// True when every pixel within Width of the picture's edge has the alpha
// value Alpha.
bool EdgeAlphaIs(const QImage& Image, int Width, int Alpha)
{
    for (int y = 0; y < Image.height(); ++y) {
        for (int x = 0; x < Image.width(); ++x) {
            const bool edge =
                x < Width || y < Width || x >= Image.width() - Width || y >= Image.height() - Width;
            if (edge && AlphaAt(Image, x, y) != Alpha)
                return false;
        }
    }
    return true;
}

TEST(ClipArt, PicturesStayClearOfTheEdgeExceptCorners)
{
    for (const TClipArtItem& item : TClipArtPainter::Catalogue()) {
        SCOPED_TRACE((item.Category + "/" + item.FileName).toStdString());
        const QImage picture = TClipArtPainter::Paint(item);
        ASSERT_EQ(picture.size(), QSize(256, 256));
        ASSERT_EQ(picture.format(), QImage::Format_ARGB32);
        if (item.Category == "Corners") {
            // Corner ornaments lie in the top-left corner and leave the
            // opposite one free.
            int topLeft = 0;
            int bottomRight = 0;
            for (int y = 0; y < 128; ++y) {
                for (int x = 0; x < 128; ++x) {
                    topLeft += AlphaAt(picture, x, y);
                    bottomRight += AlphaAt(picture, x + 128, y + 128);
                }
            }
            EXPECT_GT(topLeft, 4 * bottomRight);
            EXPECT_EQ(AlphaAt(picture, 250, 250), 0);
        } else {
            // Nothing is cut off: a free ring around every other picture.
            EXPECT_TRUE(EdgeAlphaIs(picture, 2, 0));
        }
    }
}

// The pixels that let the photo through (alpha below 255) but cannot be
// reached from the centre through other such pixels: outside the opening.
int StrayTransparentPixels(const QImage& Frame)
{
    const int w = Frame.width();
    std::vector<int> clear(size_t(w) * Frame.height()); // 1 clear, 2 reached
    for (size_t i = 0; i < clear.size(); ++i)
        clear[i] = AlphaAt(Frame, int(i % w), int(i / w)) < 255;
    std::vector<size_t> todo{clear.size() / 2 + w / 2};
    while (!todo.empty()) {
        const size_t i = todo.back();
        todo.pop_back();
        if (i >= clear.size() || clear[i] != 1)
            continue;
        clear[i] = 2;
        todo.insert(todo.end(), {i + w, i - w}); // off the picture: skipped
        if (i % w > 0)
            todo.push_back(i - 1);
        if (i % w < size_t(w - 1))
            todo.push_back(i + 1);
    }
    return int(std::count(clear.begin(), clear.end(), 1));
}

TEST(PngFrames, CoverEverythingButALargeOpening)
{
    std::vector<QImage> frames;
    for (const TPngFrameItem& item : TPngFramePainter::Catalogue())
        frames.push_back(TPngFramePainter::Paint(item));
    frames.push_back(TPngFramePainter::PaintDefault());
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage& frame = frames[i];
        ASSERT_EQ(frame.size(), QSize(800, 600));
        EXPECT_TRUE(EdgeAlphaIs(frame, 12, 255));
        int transparent = 0;
        for (int y = 0; y < 600; y += 5) {
            for (int x = 0; x < 800; x += 5)
                transparent += AlphaAt(frame, x, y) == 0;
        }
        // At least a quarter of the picture shows the photo.
        EXPECT_GT(transparent * 4, 160 * 120) << transparent;
        // Nothing but the opening shows the photo.
        EXPECT_EQ(StrayTransparentPixels(frame), 0);
    }
}

TEST(Help, EveryLinkInThePageHasItsTarget)
{
    const QString page = QString::fromUtf8(THelpWriter::Page());
    QSet<QString> targets;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("id=\"([^\"]+)\"")).globalMatch(page)) {
        targets.insert(m.captured(1));
    }
    int links = 0;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(page)) {
        EXPECT_TRUE(targets.contains(m.captured(1))) << m.captured(1).toStdString();
        ++links;
    }
    EXPECT_GE(links, 9);
    // The commands it names are the program's own captions.
    for (const char* caption :
         {"Open Photo...", "Add to Photo", "Load Png Frame From File", "Load clipart from file",
          "Add New Text", "Select Font", "Make Photo Wallpaper", "Add Frame to photo in bulk"}) {
        EXPECT_TRUE(page.contains(QString::fromLatin1(caption))) << caption;
    }
}

TEST(SeededRandom, SameSeedSameSequenceWithinTheAskedRanges)
{
    TSeededRandom a(42);
    TSeededRandom b(42);
    TSeededRandom zero(0); // a zero seed would stick at zero; it is replaced
    bool low = false;
    bool high = false;
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(a.Next(), b.Next());
        const double unit = a.Unit();
        EXPECT_GE(unit, 0.0);
        EXPECT_LT(unit, 1.0);
        const int n = a.Between(-2, 2);
        EXPECT_GE(n, -2);
        EXPECT_LE(n, 2);
        low |= n == -2;
        high |= n == 2;
        EXPECT_NE(zero.Next(), 0u);
        b.Unit();
        b.Between(-2, 2);
    }
    EXPECT_TRUE(low && high);
}

TEST(Landscape, IsTheSameOpaquePictureOnEveryCall)
{
    const QImage photo = TLandscapePainter::Paint();
    ASSERT_EQ(photo.size(), QSize(1600, 1200));
    EXPECT_FALSE(photo.hasAlphaChannel());
    EXPECT_TRUE(SamePixels(photo, TLandscapePainter::Paint()));
}

} // namespace
