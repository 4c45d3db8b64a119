// Batch runs on the worker threads: the files written are byte for byte
// those of framing the photos one after the other, also where a photo reads
// an earlier photo's output; the PNG frame is decoded again when its file
// changes, and a frame file's frame is rendered again when its file changes;
// errors reach the driving thread at their photo; Escape and the
// close box are held until the run ends.

#include "BatchFrame.h"
#include "BatchFramer.h"
#include "BatchRun.h"
#include "FrameFileCache.h"
#include "FrameMaker.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "MyGdiPlus.h"
#include "PngFrameCache.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A PNG frame with a transparent, soft-edged opening.
QImage PngFrameImage(int w, int h)
{
    QImage frame = MakeGradient(w, h);
    for (int y = h / 5; y < h - h / 5; ++y)
        for (int x = w / 5; x < w - w / 5; ++x)
            frame.setPixel(x, y, qRgba(x % 256, y % 256, 0, (x * 7 + y) % 256));
    return frame;
}

// Photos of mixed sizes and kinds: JPEG and PNG, landscape and portrait,
// one with alpha, one of the box's size and a resolution of its own, one
// that does not decode.
QStringList MakePhotos(const TTempDir& dir)
{
    const QList<QSize> sizes = {{640, 480},  {480, 640}, {1000, 333},  {333, 1000},
                                {800, 800},  {1201, 901}, {97, 131},   {1600, 1200},
                                {50, 40},    {720, 540}, {800, 600}};
    QStringList photos;
    for (int i = 0; i < sizes.size(); ++i) {
        const QString name = dir.file(QStringLiteral("p%1.%2").arg(i).arg(i % 3 ? "jpg" : "png"));
        QImage image = MakeGradient(sizes[i].width(), sizes[i].height());
        if (i == 3)
            image.setPixel(5, 5, qRgba(1, 2, 3, 100));
        if (i == 10)
            image.setDotsPerMeterX(5000);
        EXPECT_TRUE(image.save(name, i % 3 ? "JPG" : "PNG", 90));
        photos << name;
    }
    photos << dir.write(QStringLiteral("bad.jpg"), "not a picture");
    photos << dir.file(QStringLiteral("missing.jpg"));
    return photos;
}

// The output bytes of each photo framed one after the other.
std::vector<QByteArray> Reference(const QStringList& photos, const QString& frame, bool png,
                                  QSize box)
{
    std::vector<QByteArray> bytes;
    for (const QString& photo : photos) {
        try {
            bytes.push_back(
                TBatchFramer::EncodeJpeg(TBatchFramer::FramePhoto(photo, frame, png, box)));
        } catch (const EPhotoSkipped&) {
            bytes.emplace_back();
        }
    }
    return bytes;
}

std::vector<TBatchJob> Jobs(const QStringList& photos, bool overwrite)
{
    std::vector<TBatchJob> jobs;
    for (const QString& photo : photos)
        jobs.push_back(
            {photo, TBatchFramer::OutputName(photo, overwrite, QStringLiteral("Pre")), QString()});
    return jobs;
}

void RunAll(TBatchRun& run)
{
    for (int i = 0; i < run.Count(); ++i)
        run.Finish(i, nullptr);
}

// A 300 x 300 PNG frame in Dir.
QString SmallPngFrame(const TTempDir& dir)
{
    const QString frame = dir.file(QStringLiteral("frame.png"));
    EXPECT_TRUE(PngFrameImage(300, 300).save(frame, "PNG"));
    return frame;
}

// A JPEG photo of Size in Dir.
QString JpegPhoto(const TTempDir& dir, const QString& name, QSize size)
{
    const QString photo = dir.file(name);
    EXPECT_TRUE(MakeGradient(size.width(), size.height()).save(photo, "JPG"));
    return photo;
}

} // namespace

TEST(BatchRunTest, OutputsAreByteIdenticalToFramingOneAfterTheOther)
{
    const QString frameData = QStringLiteral(ORVO_TEST_DATA_DIR "/frames/");
    for (const QString& frame : {QString(), frameData + "simple_texture_diamond.okx",
                                 frameData + "ornate_tile.okx", frameData + "picture_twelve.okx"}) {
        for (const bool overwrite : {false, true}) {
            SCOPED_TRACE((frame + (overwrite ? " overwrite" : " prefix")).toStdString());
            TTempDir dir;
            const bool png = frame.isEmpty();
            const QString frameFile = png ? dir.file(QStringLiteral("frame.png")) : frame;
            if (png) {
                ASSERT_TRUE(PngFrameImage(900, 700).save(frameFile, "PNG"));
            }
            const QStringList photos = MakePhotos(dir);
            const QSize box(800, 600);
            const std::vector<QByteArray> expected = Reference(photos, frameFile, png, box);

            TBatchRun run(Jobs(photos, overwrite), frameFile, png, box, 4);
            RunAll(run);
            for (int i = 0; i < photos.size(); ++i) {
                const QString out = TBatchFramer::OutputName(photos[i], overwrite, "Pre");
                if (expected[size_t(i)].isEmpty())
                    EXPECT_NE(ReadAll(out).left(2), QByteArray("\xFF\xD8")) << i;
                else
                    EXPECT_EQ(ReadAll(out), expected[size_t(i)]) << i;
            }
        }
    }
}

TEST(BatchRunTest, AFrameOfTheOutputsSizeIsDrawnBehindItsDecodeAndACutOneWritesNothing)
{
    // Photos that are decoded sooner than the frame follow its rows; a frame
    // cut short gives up after they have begun to.
    const QSize box(2400, 1800);
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut);
        TTempDir dir;
        QImage frameImage = PngFrameImage(box.width(), box.height());
        for (int y = 0; y < frameImage.height(); y += 3)
            frameImage.setPixel(y % frameImage.width(), y, qRgba(y % 256, 7, 9, 200));
        QByteArray png;
        QBuffer buffer(&png);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && frameImage.save(&buffer, "PNG"));
        const QString frame =
            dir.write(QStringLiteral("frame.png"), cut ? png.left(png.size() * 3 / 4) : png);
        QStringList photos;
        for (int i = 0; i < 6; ++i) {
            photos << dir.file(QStringLiteral("p%1.jpg").arg(i));
            ASSERT_TRUE(MakeGradient(i == 5 ? 4800 : 2400, i == 5 ? 3600 : 1800)
                            .save(photos.back(), "JPG", 80));
        }
        const std::vector<QByteArray> expected =
            cut ? std::vector<QByteArray>(6) : Reference(photos, frame, true, box);
        {
            TBatchRun run(Jobs(photos, false), frame, true, box, 6);
            if (cut) {
                EXPECT_THROW(run.CheckFrame(), EImagingError);
            } else {
                run.CheckFrame();
                RunAll(run);
            }
        }
        // Once the run is gone, with its photos in work: nothing written from
        // a frame that could not be read.
        for (int i = 0; i < photos.size(); ++i)
            EXPECT_EQ(ReadAll(TBatchFramer::OutputName(photos[i], false, "Pre")),
                      expected[size_t(i)])
                << i;
    }
}

TEST(BatchRunTest, PhotosReadingEarlierOutputsSeeThemWritten)
{
    TTempDir dir;
    const QString frame = SmallPngFrame(dir);
    const QString a = JpegPhoto(dir, QStringLiteral("a.jpg"), QSize(900, 700));
    const QSize box(640, 480);
    // Second names of a and of the frame: hard links are the same file.
    const QString b = dir.file(QStringLiteral("b.jpg"));
    const QString frameName = dir.file(QStringLiteral("frame.jpg"));
    for (const auto& [file, name] : {std::pair(a, b), std::pair(frame, frameName)})
        ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(name).constData()),
                  0);

    // One by one: a twice over itself (the second time as b), the frame
    // refused under either name (it is in the list in overwrite mode), then
    // a framed again with the frame as it was.
    TTempDir before;
    const QString a0 = before.file(QStringLiteral("a.jpg"));
    QFile::copy(a, a0);
    const QByteArray frameBytes = ReadAll(frame);
    std::vector<QByteArray> expected;
    for (int i = 0; i < 3; ++i) {
        expected.push_back(
            TBatchFramer::EncodeJpeg(TBatchFramer::FramePhoto(a0, frame, true, box)));
        TBatchFramer::WriteJpegBytes(expected.back(), a0);
    }

    TBatchRun run(Jobs({a, b, frame, frameName, a}, true), frame, true, box, 4);
    for (int i = 0; i < run.Count(); ++i)
        EXPECT_EQ(run.Finish(i, nullptr), i != 2 && i != 3) << i;
    EXPECT_EQ(ReadAll(a), expected[2]);
    EXPECT_EQ(ReadAll(frame), frameBytes);
    ASSERT_EQ(run.Failures().Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(run.Failures().Entries()[size_t(i)].Photo, i ? frameName : frame);
        EXPECT_EQ(run.Failures().Entries()[size_t(i)].Reason, "the output would replace the frame");
    }
}

TEST(BatchRunTest, APhotoSwappedForANamedPipeIsNamedNotWaitedFor)
{
    TTempDir dir;
    const QString frame = SmallPngFrame(dir);
    const QString photo = JpegPhoto(dir, QStringLiteral("photo.jpg"), QSize(60, 40));
    TBatchRun run(Jobs({photo}, false), frame, true, QSize(640, 480), 1);
    // A sync tool puts a pipe in the photo's place after the list was made:
    // opening it for reading would wait for a writer that never comes.
    ASSERT_TRUE(QFile::remove(photo));
    ASSERT_EQ(::mkfifo(QFile::encodeName(photo).constData(), 0644), 0);
    run.CheckFrame();
    EXPECT_FALSE(run.Finish(0, nullptr));
    ASSERT_EQ(run.Failures().Count(), 1);
    EXPECT_TRUE(run.Failures().Entries()[0].Reason.contains("named pipe"));
}

TEST(BatchRunTest, OutputsToOneFileAreWrittenInListOrder)
{
    TTempDir dir;
    const QString frame = SmallPngFrame(dir);
    // The first photo takes far longer to frame than the second.
    const QString large = JpegPhoto(dir, QStringLiteral("large.jpg"), QSize(3000, 2000));
    const QString small = JpegPhoto(dir, QStringLiteral("small.jpg"), QSize(60, 40));
    // The same where the first is found damaged only once it is decoded.
    const QString cut = JpegPhoto(dir, QStringLiteral("cut.jpg"), QSize(3000, 2000));
    QFile file(cut);
    ASSERT_TRUE(file.resize(file.size() - 1000));
    const QString out = dir.file(QStringLiteral("out.jpg"));
    const QString out2 = dir.file(QStringLiteral("out2.jpg"));
    const QSize box(640, 480);
    TBatchRun run({{large, out, QString()},
                   {small, out, QString()},
                   {cut, out2, QString()},
                   {small, out2, QString()}},
                  frame, true, box, 4);
    RunAll(run);
    const QByteArray expected =
        TBatchFramer::EncodeJpeg(TBatchFramer::FramePhoto(small, frame, true, box));
    EXPECT_EQ(ReadAll(out), expected);
    EXPECT_EQ(ReadAll(out2), expected);
    EXPECT_EQ(run.Failures().Count(), 1);
}

TEST(BatchRunTest, PngFrameIsDecodedAgainWhenItsFileChanges)
{
    TTempDir dir;
    const QString file = dir.file(QStringLiteral("frame.png"));
    ASSERT_TRUE(MakeSolid(40, 30, Qt::red).save(file, "PNG"));
    TPngFrameCache cache(file);
    const QImage first = cache.Frame();
    EXPECT_EQ(cache.Frame().constBits(), first.constBits()); // decoded once
    EXPECT_EQ(cache.FrameAt(QSize(20, 15)).constBits(), cache.FrameAt(QSize(20, 15)).constBits());

    ASSERT_TRUE(MakeSolid(40, 30, Qt::blue).save(file, "PNG"));
    EXPECT_EQ(PixelAt(cache.Frame(), 0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(PixelAt(cache.FrameAt(QSize(20, 15)), 0, 0), qRgb(0, 0, 255));
    QFile::remove(file);
    EXPECT_TRUE(cache.Frame().isNull());
}

TEST(BatchRunTest, FrameFileIsRenderedAgainWhenItsFileChanges)
{
    TTempDir dir;
    const QString file = dir.file(QStringLiteral("frame.okx"));
    const auto save = [&file](int band, TColorRef color) {
        TSimapleFrameMaker maker;
        maker.SetFrameWidth(band);
        maker.SetFrameHeight(band);
        maker.SetBackColor(color);
        maker.SaveToFile(file);
    };
    save(10, 0x0000FF);
    TFrameFileCache cache(file);
    const QSize photo(400, 300);
    const QSize box(200, 150);
    const TFrameFileCache::TFrame first = cache.FrameFor(photo, box);
    ASSERT_TRUE(first);
    EXPECT_EQ(cache.FrameFor(photo, box), first); // rendered once

    save(20, 0xFF0000);
    const TFrameFileCache::TFrame changed = cache.FrameFor(photo, box);
    ASSERT_TRUE(changed);
    const std::unique_ptr<TFrameMakerBase> anew = LoadKnownFrameMaker(file, 0, 0);
    const QSize output = TBatchFramer::MakerOutputSize(400, 300, 200, 150, anew->GetAddedWidth(),
                                                       anew->GetAddedHeight());
    const TBatchFramer::TRenderedFrame expected = TBatchFramer::RenderFrame(*anew, output);
    EXPECT_EQ(changed->Output, output);
    EXPECT_EQ(changed->TopBand, expected.TopBand);
    EXPECT_EQ(changed->Picture, expected.Picture);
    QFile::remove(file);
    EXPECT_THROW(cache.FrameFor(photo, box), EFOpenError);
}

TEST(BatchRunTest, AFrameFileErrorReachesTheDrivingThreadAtItsPhoto)
{
    TTempDir dir;
    QStringList photos;
    for (int i = 0; i < 4; ++i) {
        photos << dir.file(QStringLiteral("p%1.jpg").arg(i));
        ASSERT_TRUE(MakeGradient(200, 150).save(photos.back(), "JPG"));
    }
    const QString frame = dir.write(QStringLiteral("f.okx"), QByteArray("OKX\0\0\7", 6));
    TBatchRun run(Jobs(photos, false), frame, false, QSize(100, 75), 2);
    EXPECT_FALSE(run.Finish(0, nullptr));
    ASSERT_EQ(run.Failures().Count(), 1);
    EXPECT_TRUE(run.Failures().Entries()[0].Reason.contains("f.okx"));
}

class BatchRunWizardTest : public ::testing::Test
{
protected:
    // A PNG frame and six photos on the wizard's list.
    void LoadSixPhotos(TfrmBatchFrame& wizard)
    {
        const QString frame = folder.file(QStringLiteral("frame.png"));
        EXPECT_TRUE(PngFrameImage(400, 300).save(frame, "PNG"));
        wizard.FrameFileName = frame;
        wizard.IsPngFrame = true;
        for (int i = 0; i < 6; ++i) {
            const QString photo = folder.file(QStringLiteral("p%1.jpg").arg(i));
            EXPECT_TRUE(MakeGradient(1200, 900).save(photo, "JPG"));
            wizard.lsbPicture->addItem(photo);
        }
    }

    TScopedSettings settings;
    TTempDir folder;
};

TEST_F(BatchRunWizardTest, EscapeAndCloseDuringTheRunWaitForItsEnd)
{
    TfrmBatchFrame wizard;
    wizard.show();
    LoadSixPhotos(wizard);
    wizard.Step = 3;
    bool visibleAfterEscape = false;
    bool visibleAfterClose = false;
    int progressSeen = -1;
    QTimer::singleShot(0, &wizard, [&] {
        progressSeen = wizard.SpTBXProgressBar1->value();
        QTest::keyClick(&wizard, Qt::Key_Escape);
        visibleAfterEscape = wizard.isVisible();
        wizard.close();
        visibleAfterClose = wizard.isVisible();
    });
    wizard.btnNextClick();
    EXPECT_TRUE(visibleAfterEscape);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_LT(progressSeen, 6);
    EXPECT_EQ(wizard.SpTBXProgressBar1->value(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("Prep%1.jpg").arg(i))));
    EXPECT_FALSE(wizard.isVisible());
}

TEST_F(BatchRunWizardTest, EveryWayOutOfTheModalWizardWaitsForTheEndOfTheRun)
{
    TfrmBatchFrame wizard;
    LoadSixPhotos(wizard);
    QStringList endedBy;
    int progressSeen = -1;
    int writtenAtTheEnd = -1;
    WhenModal<TfrmBatchFrame>([&](TfrmBatchFrame* w) {
        w->Step = 3;
        w->ShowStep(3);
        QTimer::singleShot(0, w, [&, w] {
            progressSeen = w->SpTBXProgressBar1->value();
            const std::pair<const char*, std::function<void()>> ways[] = {
                {"accept", [w] { w->accept(); }},
                {"done", [w] { w->done(QDialog::Accepted); }},
                {"reject", [w] { w->reject(); }},
                {"Escape", [w] { QTest::keyClick(w, Qt::Key_Escape); }},
                {"close", [w] { w->close(); }}};
            for (const auto& [name, way] : ways) {
                way();
                if (!w->isVisible())
                    endedBy << QString::fromLatin1(name);
            }
        });
        QTest::mouseClick(w->btnNext, Qt::LeftButton);
        writtenAtTheEnd = w->SpTBXProgressBar1->value();
    });
    EXPECT_EQ(wizard.exec(), QDialog::Rejected);
    EXPECT_EQ(endedBy, QStringList());
    EXPECT_LT(progressSeen, 6);
    EXPECT_EQ(writtenAtTheEnd, 6);
    EXPECT_FALSE(wizard.isVisible());
}
