// The batch framing wizard: its pages and their checks, choosing a frame
// from the picker or a PNG file, the photo list, the output options, the
// key filter, the previews and whole runs with their output files.

#include "BatchFrame.h"
#include "CraftedFiles.h"
#include "FrameMaker.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "MyGdiPlus.h"
#include "PicThumb.h"
#include "PreviewBox.h"
#include "SelectFrame.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString WriteSimpleFrame(const QString& fileName, int32_t band)
{
    TSimapleFrameMaker maker;
    maker.SetOutEdge(0);
    maker.SetInnerEdge(0);
    maker.SetFrameWidth(band);
    maker.SetFrameHeight(band);
    maker.SetBackColor(MakeColorRef(255, 0, 0));
    maker.SaveToFile(fileName);
    return fileName;
}

QByteArray Head(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(3) : QByteArray();
}

QByteArray ReadAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A small JPEG whose frame header declares Side x Side pixels.
QByteArray JpegDeclaring(int Side)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(MakeSolid(16, 16, Qt::gray).save(&buffer, "JPG"));
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    EXPECT_GT(sof, 0);
    for (const qsizetype at : {sof + 5, sof + 7}) {
        bytes[at] = char(Side >> 8);
        bytes[at + 1] = char(Side & 0xFF);
    }
    return bytes;
}

} // namespace

class BatchFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
        const QString path = folder.path() + QLatin1Char('/');
        window = std::make_unique<TfrmMain>(TDesktopServices(), [path] { return path; });
        wizard = std::make_unique<TfrmBatchFrame>();
        wizard->show();
    }
    void TearDown() override
    {
        StopModalDrivers();
        wizard.reset();
        window.reset();
    }

    QString File(const QString& name) const { return folder.file(name); }

    QString Photo(const QString& name, int w, int h, QColor color = Qt::blue)
    {
        const QString file = File(name);
        EXPECT_TRUE(MakeSolid(w, h, color).save(file, "JPG"));
        return file;
    }

    QString PngFrame()
    {
        QImage frame = MakeSolid(100, 100, Qt::red);
        for (int y = 20; y < 80; ++y)
            for (int x = 20; x < 80; ++x)
                frame.setPixel(x, y, 0);
        const QString file = File(QStringLiteral("frame.png"));
        EXPECT_TRUE(frame.save(file, "PNG"));
        return file;
    }

    // Clicks Next; a message box that comes up is answered and its text kept.
    QString Next()
    {
        QString text;
        AnswerMessageBox(QMessageBox::Ok, &text);
        QTest::mouseClick(wizard->btnNext, Qt::LeftButton);
        StopModalDrivers();
        return text;
    }

    // A fresh wizard on the screen.
    void Restart()
    {
        StopModalDrivers();
        wizard = std::make_unique<TfrmBatchFrame>();
        wizard->show();
    }

    // A PNG frame and the photos, then on to page 3.
    void ToOutputPage(const QStringList& photos, const QString& frame = QString(), bool png = true)
    {
        wizard->FrameFileName = frame.isEmpty() ? PngFrame() : frame;
        wizard->IsPngFrame = png;
        for (const QString& photo : photos)
            wizard->lsbPicture->addItem(photo);
        ASSERT_TRUE(Next().isEmpty());
        ASSERT_TRUE(Next().isEmpty());
        ASSERT_EQ(wizard->Step, 3);
    }

    TScopedSettings settings;
    TTempDir folder;
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<TfrmBatchFrame> wizard;
};

TEST_F(BatchFrameTest, StartsOnTheFramePageWithTheDefaults)
{
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("Batch Frame"));
    EXPECT_EQ(wizard->size(), QSize(500, 340));
    EXPECT_EQ(wizard->Step, 1);
    EXPECT_EQ(wizard->lblMsg->text(),
              QStringLiteral("Setup1:Select the frame which you want add to photos."));
    EXPECT_FALSE(wizard->btnBack->isEnabled());
    EXPECT_TRUE(wizard->btnNext->isEnabled());
    EXPECT_TRUE(wizard->btnExit->isEnabled());
    EXPECT_EQ(wizard->pnPages->currentWidget(), wizard->pn1);
    EXPECT_EQ(wizard->DirectryIndex(), 1);
    EXPECT_EQ(wizard->SizeIndex(), 3);
    EXPECT_EQ(wizard->edtPrefix->text(), QStringLiteral("Pre"));
    EXPECT_FALSE(wizard->edtX->isEnabled());
    EXPECT_FALSE(wizard->lblX->isEnabled());
    EXPECT_FALSE(wizard->edtY->isEnabled());
    EXPECT_EQ(wizard->SpTBXProgressBar1->text(), QStringLiteral("0%"));
    EXPECT_EQ(wizard->SpeedButton3->toolTip(), QStringLiteral("Add"));
    EXPECT_EQ(wizard->SpeedButton4->toolTip(), QStringLiteral("Remove"));
}

TEST_F(BatchFrameTest, PageChecksStopNextAndBackGoesWithoutOne)
{
    EXPECT_EQ(Next(), QStringLiteral("Please select the frame file"));
    EXPECT_EQ(wizard->Step, 1);
    wizard->FrameFileName = PngFrame();
    EXPECT_TRUE(Next().isEmpty());
    EXPECT_EQ(wizard->Step, 2);
    EXPECT_EQ(wizard->lblMsg->text(),
              QStringLiteral("Setup2:Select photos that you want add frame to."));
    EXPECT_TRUE(wizard->btnBack->isEnabled());
    EXPECT_EQ(Next(), QStringLiteral("Please select the photo that you want add frame to"));
    EXPECT_EQ(wizard->Step, 2);
    wizard->lsbPicture->addItem(QStringLiteral("/nowhere/x.jpg"));
    EXPECT_TRUE(Next().isEmpty());
    EXPECT_EQ(wizard->lblMsg->text(), QStringLiteral("Setup3:Set the output options."));
    EXPECT_EQ(wizard->pnPages->currentWidget(), wizard->pn3);
    QTest::mouseClick(wizard->btnBack, Qt::LeftButton);
    QTest::mouseClick(wizard->btnBack, Qt::LeftButton);
    EXPECT_EQ(wizard->Step, 1);
    EXPECT_FALSE(wizard->btnBack->isEnabled());
}

TEST_F(BatchFrameTest, FrameFromThePickerOrFromAPngFile)
{
    const QString category = folder.path() + QStringLiteral("/Frame/Plain/");
    QDir().mkpath(category);
    const QString a = WriteSimpleFrame(category + QStringLiteral("a.okx"), 10);
    const QString b = WriteSimpleFrame(category + QStringLiteral("b.okx"), 10);

    // Nothing selected: OK takes the first file.
    WhenModal<TfrmSelectFrame>(
        [](TfrmSelectFrame* p) { QTest::mouseClick(p->OK, Qt::LeftButton); });
    QTest::mouseClick(wizard->SpTBXButton2, Qt::LeftButton);
    EXPECT_EQ(wizard->FrameFileName, a);
    EXPECT_FALSE(wizard->IsPngFrame);
    EXPECT_EQ(frmSelectFrame->parent(), wizard.get());

    const QString png = PngFrame();
    AnswerFileDialog(png);
    QTest::mouseClick(wizard->SpTBXButton1, Qt::LeftButton);
    EXPECT_EQ(wizard->FrameFileName, png);
    EXPECT_TRUE(wizard->IsPngFrame);

    // The selected item, and a cancelled picker changes nothing.
    WhenModal<TfrmSelectFrame>([](TfrmSelectFrame* p) {
        p->thuFrame->SetItemIndex(1);
        QTest::mouseClick(p->OK, Qt::LeftButton);
    });
    QTest::mouseClick(wizard->SpTBXButton2, Qt::LeftButton);
    EXPECT_EQ(wizard->FrameFileName, b);
    EXPECT_FALSE(wizard->IsPngFrame);
    WhenModal<TfrmSelectFrame>(
        [](TfrmSelectFrame* p) { QTest::mouseClick(p->Cancel, Qt::LeftButton); });
    QTest::mouseClick(wizard->SpTBXButton2, Qt::LeftButton);
    EXPECT_EQ(wizard->FrameFileName, b);
    AnswerFileDialog(QString());
    QTest::mouseClick(wizard->SpTBXButton1, Qt::LeftButton);
    EXPECT_EQ(wizard->FrameFileName, b);
}

TEST_F(BatchFrameTest, EmptyCategoryInThePickerIsReportedAndKeepsTheFrame)
{
    QDir().mkpath(folder.path() + QStringLiteral("/Frame/Empty"));
    wizard->FrameFileName = QStringLiteral("kept.okx");
    QString text;
    WhenModal<TfrmSelectFrame>([&text](TfrmSelectFrame* p) {
        AnswerMessageBox(QMessageBox::Ok, &text);
        QTest::mouseClick(p->OK, Qt::LeftButton);
    });
    QTest::mouseClick(wizard->SpTBXButton2, Qt::LeftButton);
    EXPECT_EQ(text, QStringLiteral("List index out of bounds (0)"));
    EXPECT_EQ(wizard->FrameFileName, QStringLiteral("kept.okx"));
}

TEST_F(BatchFrameTest, PhotoListAddRemoveAndPreview)
{
    const QString tall = Photo(QStringLiteral("tall.jpg"), 100, 268, Qt::green);
    AnswerFileDialog(tall);
    QTest::mouseClick(wizard->SpeedButton3, Qt::LeftButton);
    AnswerFileDialog(tall);
    QTest::mouseClick(wizard->SpeedButton3, Qt::LeftButton);
    ASSERT_EQ(wizard->lsbPicture->count(), 2); // no test for duplicates
    EXPECT_EQ(wizard->lsbPicture->item(0)->text(), tall);

    wizard->FrameFileName = PngFrame();
    Next();
    wizard->lsbPicture->setCurrentRow(0);
    // Not decoded on the window's thread: the photo is painted once ready.
    EXPECT_GT(qRed(PixelAt(wizard->pbImage->grab().toImage(), 74, 67)), 100);
    QTRY_COMPARE_WITH_TIMEOUT(qRed(PixelAt(wizard->pbImage->grab().toImage(), 74, 67)) < 60, true,
                              10000);
    const QImage preview = wizard->pbImage->grab().toImage();
    ASSERT_EQ(preview.size(), QSize(149, 134));
    // Full height, centred across: the photo covers x 49 .. 98.
    EXPECT_LT(MaxChannelDifference(preview.copy(49, 0, 50, 134), MakeSolid(50, 134, Qt::green)),
              12);
    EXPECT_LT(qRed(PixelAt(preview, 49, 67)), 60);
    EXPECT_GT(qRed(PixelAt(preview, 47, 67)), 100);
    EXPECT_GT(qRed(PixelAt(preview, 100, 67)), 100);

    wizard->lsbPicture->item(1)->setSelected(true);
    QTest::mouseClick(wizard->SpeedButton4, Qt::LeftButton);
    EXPECT_EQ(wizard->lsbPicture->count(), 1);
}

TEST_F(BatchFrameTest, FramePreviewOfAPngAndOfAFrameFile)
{
    wizard->FrameFileName = PngFrame();
    wizard->IsPngFrame = true;
    // Made away from the window's thread, drawn once ready.
    const auto shown = [this] { return wizard->PaintBox1->grab().toImage(); };
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(shown(), 10, 10), qRgb(255, 0, 0), 10000);
    QImage preview = shown();
    ASSERT_EQ(preview.size(), QSize(200, 176));
    // Stretched to the box: the red band is 20 % of each side.
    EXPECT_EQ(PixelAt(preview, 10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(preview, 195, 170), qRgb(255, 0, 0));
    EXPECT_NE(PixelAt(preview, 100, 88), qRgb(255, 0, 0));

    wizard->FrameFileName = WriteSimpleFrame(File(QStringLiteral("f.okx")), 40);
    wizard->IsPngFrame = false;
    QTRY_COMPARE_WITH_TIMEOUT(qRed(PixelAt(shown(), 10, 88)), 255, 10000);
    preview = shown();
    // Rendered at twice the box and drawn reduced: a 20-pixel band.
    EXPECT_EQ(qRed(PixelAt(preview, 10, 88)), 255);
    EXPECT_NE(PixelAt(preview, 25, 88), qRgb(255, 0, 0));

    // A file of no known kind draws nothing and raises nothing.
    wizard->FrameFileName = File(QStringLiteral("missing.okx"));
    const QImage empty = wizard->PaintBox1->grab().toImage();
    EXPECT_NE(PixelAt(empty, 10, 88), qRgb(255, 0, 0));
}

TEST_F(BatchFrameTest, OutputOptionsAndTheKeyFilter)
{
    ToOutputPage({QStringLiteral("/x.jpg")});
    QTest::mouseClick(wizard->rgbDirectryItems->button(0), Qt::LeftButton);
    EXPECT_FALSE(wizard->edtPrefix->isEnabled());
    QTest::mouseClick(wizard->rgbDirectryItems->button(1), Qt::LeftButton);
    EXPECT_TRUE(wizard->edtPrefix->isEnabled());
    QTest::mouseClick(wizard->rgbSizeItems->button(7), Qt::LeftButton);
    EXPECT_TRUE(wizard->edtX->isEnabled());
    EXPECT_TRUE(wizard->lblX->isEnabled());
    EXPECT_TRUE(wizard->edtY->isEnabled());
    QTest::keyClicks(wizard->edtX, QStringLiteral("1a2 -3"));
    EXPECT_EQ(wizard->edtX->text(), QStringLiteral("123"));
    QTest::keyClick(wizard->edtX, Qt::Key_Backspace);
    EXPECT_EQ(wizard->edtX->text(), QStringLiteral("12"));
    QTest::mouseClick(wizard->rgbSizeItems->button(0), Qt::LeftButton);
    EXPECT_FALSE(wizard->edtX->isEnabled());
}

TEST_F(BatchFrameTest, RunWithAPngFrameWritesPrefixedJpegs)
{
    const QString a = Photo(QStringLiteral("a.png"), 2000, 2000);
    const QString b = Photo(QStringLiteral("b.jpg"), 1600, 1200);
    ToOutputPage({a, b});
    EXPECT_TRUE(Next().isEmpty());
    EXPECT_EQ(wizard->Step, 4);
    EXPECT_EQ(wizard->lblMsg->text(), QStringLiteral("Please wait for processing"));
    EXPECT_EQ(wizard->pnPages->currentWidget(), wizard->pn4);

    const QImage outA = DecodeImageFile(File(QStringLiteral("Prea.png")));
    EXPECT_EQ(outA.size(), QSize(599, 599));
    EXPECT_EQ(Head(File(QStringLiteral("Prea.png"))), QByteArray("\xFF\xD8\xFF"));
    EXPECT_EQ(DecodeImageFile(File(QStringLiteral("Preb.jpg"))).size(), QSize(800, 600));
    EXPECT_EQ(DecodeImageFile(a).size(), QSize(2000, 2000));
    EXPECT_EQ(wizard->SpTBXProgressBar1->maximum(), 2);
    EXPECT_EQ(wizard->SpTBXProgressBar1->value(), 2);
    EXPECT_FALSE(wizard->btnBack->isEnabled());
    EXPECT_FALSE(wizard->btnNext->isEnabled());
    EXPECT_TRUE(wizard->btnExit->isEnabled());
    EXPECT_EQ(wizard->btnExit->text(), QStringLiteral("Finish"));
    QTest::mouseClick(wizard->btnExit, Qt::LeftButton);
    EXPECT_EQ(wizard->result(), QDialog::Rejected);
    EXPECT_FALSE(wizard->isVisible());
}

TEST_F(BatchFrameTest, RunWithAFrameFileOverwritesTheOriginals)
{
    const QString a = Photo(QStringLiteral("a.png"), 2000, 2000);
    wizard->FrameFileName = WriteSimpleFrame(File(QStringLiteral("f.okx")), 50);
    wizard->IsPngFrame = false;
    wizard->lsbPicture->addItem(a);
    Next();
    Next();
    QTest::mouseClick(wizard->rgbDirectryItems->button(0), Qt::LeftButton);
    Next();
    const QImage out = DecodeImageFile(a);
    ASSERT_EQ(out.size(), QSize(600, 600));
    EXPECT_EQ(Head(a), QByteArray("\xFF\xD8\xFF"));
    EXPECT_GT(qBlue(PixelAt(out, 300, 300)), 200);
    EXPECT_GT(qRed(PixelAt(out, 10, 300)), 200);
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("Pre*")}), QStringList());
}

TEST_F(BatchFrameTest, EmptyPrefixBecomesZzzForTheWholeRun)
{
    const QString a = Photo(QStringLiteral("a.jpg"), 320, 240);
    const QString b = Photo(QStringLiteral("b.jpg"), 320, 240);
    ToOutputPage({a, b});
    wizard->edtPrefix->clear();
    Next();
    EXPECT_EQ(wizard->edtPrefix->text(), QStringLiteral("zzz"));
    EXPECT_TRUE(QFile::exists(File(QStringLiteral("zzza.jpg"))));
    EXPECT_TRUE(QFile::exists(File(QStringLiteral("zzzb.jpg"))));
}

TEST_F(BatchFrameTest, UnreadablePhotosAndTargetsAreSkipped)
{
    const QString good = Photo(QStringLiteral("good.jpg"), 320, 240);
    const QString bad = folder.write(QStringLiteral("bad.jpg"), "not a picture");
    ToOutputPage({bad, File(QStringLiteral("missing.jpg")), good});
    Next();
    EXPECT_FALSE(QFile::exists(File(QStringLiteral("Prebad.jpg"))));
    EXPECT_EQ(DecodeImageFile(File(QStringLiteral("Pregood.jpg"))).size(), QSize(800, 600));
    EXPECT_EQ(wizard->SpTBXProgressBar1->value(), 3);
    EXPECT_EQ(wizard->btnExit->text(), QStringLiteral("Finish"));
}

TEST_F(BatchFrameTest, CustomSizesAreUsedAndBadOnesEndTheRunBeforeAnyPhoto)
{
    const QString a = Photo(QStringLiteral("a.jpg"), 400, 300);
    ToOutputPage({a});
    QTest::mouseClick(wizard->rgbSizeItems->button(7), Qt::LeftButton);
    wizard->edtX->setText(QStringLiteral("200"));
    wizard->edtY->clear();
    QString text;
    AnswerMessageBox(QMessageBox::Ok, &text);
    QTest::mouseClick(wizard->btnNext, Qt::LeftButton);
    EXPECT_EQ(text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(wizard->Step, 4);
    EXPECT_FALSE(QFile::exists(File(QStringLiteral("Prea.jpg"))));
    EXPECT_FALSE(wizard->btnExit->isEnabled());
}

TEST_F(BatchFrameTest, CustomSizeRun)
{
    const QString a = Photo(QStringLiteral("a.jpg"), 400, 300);
    ToOutputPage({a});
    QTest::mouseClick(wizard->rgbSizeItems->button(7), Qt::LeftButton);
    wizard->edtX->setText(QStringLiteral("200"));
    wizard->edtY->setText(QStringLiteral("200"));
    Next();
    EXPECT_EQ(DecodeImageFile(File(QStringLiteral("Prea.jpg"))).size(), QSize(200, 150));
}

TEST_F(BatchFrameTest, TheOutputMenuOpensAFreshWizardEachTime)
{
    wizard.reset();
    QPointer<TfrmBatchFrame> first;
    WhenModal<TfrmBatchFrame>([&first](TfrmBatchFrame* w) {
        first = w;
        EXPECT_EQ(w->Step, 1);
        w->edtPrefix->setText(QStringLiteral("changed"));
        QTest::mouseClick(w->btnExit, Qt::LeftButton);
    });
    window->SpTBXItem15->trigger();
    ASSERT_TRUE(first);
    EXPECT_EQ(frmBatchFrame, first);
    EXPECT_EQ(first->parent(), window.get());
    EXPECT_EQ(first->result(), QDialog::Rejected);

    WhenModal<TfrmBatchFrame>([](TfrmBatchFrame* w) {
        EXPECT_EQ(w->edtPrefix->text(), QStringLiteral("Pre"));
        QTest::mouseClick(w->btnExit, Qt::LeftButton);
    });
    window->SpTBXItem15->trigger();
    EXPECT_NE(frmBatchFrame, first);
    EXPECT_TRUE(first); // stays with the main window
}

TEST_F(BatchFrameTest, AFrameThatCannotBeReadIsNamedBeforeAnyPhotoIsTouched)
{
    const QString a = Photo(QStringLiteral("a.jpg"), 2000, 1500);
    const QByteArray original = ReadAll(a);
    const QByteArray png = ReadAll(PngFrame());
    const QString cut = folder.write(QStringLiteral("cut.png"), png.left(png.size() / 2));
    ToOutputPage({a}, cut);
    QTest::mouseClick(wizard->rgbDirectryItems->button(0), Qt::LeftButton);
    EXPECT_EQ(Next(), QStringLiteral("Cannot read the picture file ") + cut);
    EXPECT_EQ(ReadAll(a), original);
    EXPECT_EQ(wizard->SpTBXProgressBar1->value(), 0);

    // A frame file that does not load, the same.
    Restart();
    const QByteArray okx = ReadAll(WriteSimpleFrame(File(QStringLiteral("f.okx")), 20));
    const QString broken = folder.write(QStringLiteral("broken.okx"), okx.left(20));
    ToOutputPage({a}, broken, false);
    QTest::mouseClick(wizard->rgbDirectryItems->button(0), Qt::LeftButton);
    EXPECT_EQ(Next(), QStringLiteral("Cannot read the frame file ") + broken);
    EXPECT_EQ(ReadAll(a), original);

    // One whose pictures are over its budget, in the budget's own words.
    Restart();
    const QString heavy = folder.write(
        QStringLiteral("heavy.okx"),
        CraftedFiles::SimpleFrameFile(CraftedFiles::JpegDeclaring(QSize(16000, 16000))));
    ToOutputPage({a}, heavy, false);
    const QString text = Next();
    EXPECT_TRUE(text.startsWith(QStringLiteral("The frame file %1 is too large: ").arg(heavy)))
        << text.toStdString();
    EXPECT_EQ(ReadAll(a), original);
}

TEST_F(BatchFrameTest, PrefixedOutputsNeverReplaceAPhotoOfTheListNorLeaveTheFolder)
{
    const QString a = Photo(QStringLiteral("a.jpg"), 320, 240);
    const QString prea = Photo(QStringLiteral("Prea.jpg"), 320, 240, Qt::green);
    const QByteArray kept = ReadAll(prea);
    ToOutputPage({a, prea});
    EXPECT_EQ(Next(), QStringLiteral("This photo was not framed:\n") + a +
                          QStringLiteral(": the output would replace another photo of the list"));
    EXPECT_EQ(ReadAll(prea), kept);
    EXPECT_EQ(DecodeImageFile(File(QStringLiteral("PrePrea.jpg"))).size(), QSize(800, 600));
    EXPECT_EQ(wizard->btnExit->text(), QStringLiteral("Finish"));

    Restart();
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    ToOutputPage({a, prea});
    wizard->edtPrefix->setText(QStringLiteral("sub/"));
    const QString text = Next();
    EXPECT_TRUE(text.startsWith(QStringLiteral("These 2 photos were not framed:\n") + a +
                                QStringLiteral(": the prefix holds a path delimiter\n")))
        << text.toStdString();
    EXPECT_EQ(QDir(File(QStringLiteral("sub"))).entryList(QDir::Files), QStringList());

    // Nor the frame the run reads.
    Restart();
    const QString ame = Photo(QStringLiteral("ame.png"), 320, 240);
    ToOutputPage({ame});
    const QByteArray frame = ReadAll(wizard->FrameFileName);
    wizard->edtPrefix->setText(QStringLiteral("fr"));
    EXPECT_EQ(Next(), QStringLiteral("This photo was not framed:\n") + ame +
                          QStringLiteral(": the output would replace the frame"));
    EXPECT_EQ(ReadAll(wizard->FrameFileName), frame);
}

TEST_F(BatchFrameTest, PhotosNotFramedAreListedAtTheEndAndTheRunGoesOn)
{
    const QString huge = folder.write(QStringLiteral("huge.jpg"), JpegDeclaring(16000));
    const QString bad = folder.write(QStringLiteral("bad.jpg"), "not a picture");
    const QString good = Photo(QStringLiteral("good.jpg"), 320, 240);
    const QString locked = Photo(QStringLiteral("locked.jpg"), 320, 240);
    // An output name taken by a folder cannot be written, whoever runs it.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Prelocked.jpg")));
    ToOutputPage({huge, bad, good, locked});
    const QString text = Next();
    const QStringList lines = text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("These 3 photos were not framed:"));
    EXPECT_EQ(lines[1], huge + QStringLiteral(": The picture file ") + huge +
                            QStringLiteral(" is too large: 16000 x 16000 pixels"));
    EXPECT_EQ(lines[2], bad + QStringLiteral(": the photo cannot be read"));
    EXPECT_EQ(lines[3], locked + QStringLiteral(": the output cannot be written"));
    EXPECT_EQ(DecodeImageFile(File(QStringLiteral("Pregood.jpg"))).size(), QSize(800, 600));
    EXPECT_EQ(wizard->SpTBXProgressBar1->value(), 4);
    EXPECT_EQ(wizard->btnExit->text(), QStringLiteral("Finish"));

    // A frame that leaves the photos no room: every photo is named.
    Restart();
    const QString wide = WriteSimpleFrame(File(QStringLiteral("wide.okx")), 60);
    ToOutputPage({good, locked}, wide, false);
    QTest::mouseClick(wizard->rgbSizeItems->button(0), Qt::LeftButton);
    EXPECT_EQ(Next(), QStringLiteral("These 2 photos were not framed:\n") + good +
                          QStringLiteral(": the frame leaves no room in the box\n") + locked +
                          QStringLiteral(": the frame leaves no room in the box"));
}

TEST_F(BatchFrameTest, OutputsTallerThanJpegHoldsAreListedAndNothingIsWritten)
{
    const QString tall = Photo(QStringLiteral("tall.jpg"), 100, 10000);
    const QByteArray original = ReadAll(tall);
    for (const bool png : {true, false}) {
        Restart();
        ToOutputPage({tall}, png ? QString() : WriteSimpleFrame(File(QStringLiteral("f.okx")), 20),
                     png);
        QTest::mouseClick(wizard->rgbDirectryItems->button(0), Qt::LeftButton);
        QTest::mouseClick(wizard->rgbSizeItems->button(7), Qt::LeftButton);
        wizard->edtX->setText(QStringLiteral("1000"));
        wizard->edtY->setText(QStringLiteral("70000"));
        const QString text = Next();
        EXPECT_TRUE(text.startsWith(QStringLiteral("This photo was not framed:\n") + tall +
                                    QStringLiteral(": the output of ")) &&
                    text.endsWith(QStringLiteral(" x 70000 pixels is too large for JPEG")))
            << text.toStdString();
        EXPECT_EQ(ReadAll(tall), original);
    }
}

TEST_F(BatchFrameTest, NamedPipesAreRefusedByNameWithoutWaitingForAWriter)
{
    const QString pipe = File(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // A link to a photo is the photo.
    const QString link = File(QStringLiteral("link.jpg"));
    ASSERT_TRUE(QFile::link(Photo(QStringLiteral("a.jpg"), 320, 240), link));
    ToOutputPage({pipe, link});
    EXPECT_EQ(Next(), QStringLiteral("This photo was not framed:\n") + pipe +
                          QStringLiteral(": the photo is a named pipe, not a file"));
    EXPECT_EQ(DecodeImageFile(File(QStringLiteral("Prelink.jpg"))).size(), QSize(800, 600));
    EXPECT_EQ(wizard->btnExit->text(), QStringLiteral("Finish"));

    // Opened as a photo, through the picture dialog and its preview.
    AnswerFileDialog(pipe);
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    window->mOpenPhoto->trigger();
    EXPECT_EQ(message, QStringLiteral("Cannot read %1: it is a named pipe, not a file").arg(pipe));
}

TEST_F(BatchFrameTest, DamagedPhotosAreListedAndTheirOriginalsKept)
{
    // JPEGs cut short decode with a grey lower half: one of the kind the
    // fast decoder reads, and one with a comment, which Qt's reader reads.
    QStringList cut;
    for (const bool comment : {false, true}) {
        QImage picture = MakeGradient(320, 240);
        if (comment)
            picture.setText(QStringLiteral("Description"), QStringLiteral("cut short"));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(picture.save(&buffer, "JPG"));
        ASSERT_EQ(bytes.contains("\xFF\xFE"), comment);
        cut << folder.write(comment ? QStringLiteral("noted.jpg") : QStringLiteral("plain.jpg"),
                            bytes.left(bytes.size() * 3 / 4));
        ASSERT_EQ(DecodeImageFile(cut.back()).size(), QSize(320, 240));
    }
    const QByteArray plain = ReadAll(cut[0]);
    const QByteArray noted = ReadAll(cut[1]);
    const QString whole = Photo(QStringLiteral("whole.jpg"), 320, 240);
    ToOutputPage({cut[0], whole, cut[1]});
    QTest::mouseClick(wizard->rgbDirectryItems->button(0), Qt::LeftButton);
    EXPECT_EQ(Next(), QStringLiteral("These 2 photos were not framed:\n") + cut[0] +
                          QStringLiteral(": the photo is damaged\n") + cut[1] +
                          QStringLiteral(": the photo is damaged"));
    EXPECT_EQ(ReadAll(cut[0]), plain);
    EXPECT_EQ(ReadAll(cut[1]), noted);
    EXPECT_EQ(DecodeImageFile(whole).size(), QSize(800, 600));
}

TEST_F(BatchFrameTest, PhotosNotFramedSayWhy)
{
    const QString missing = File(QStringLiteral("missing.jpg"));
    const QString locked = Photo(QStringLiteral("locked.jpg"), 320, 240);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    // Whoever may read every file (root) frames it.
    const bool lockedOpens = QFile(locked).open(QIODevice::ReadOnly);
    const QString tall =
        folder.write(QStringLiteral("tall.jpg"), CraftedFiles::JpegDeclaring(QSize(100, 65501)));
    // Files that end before their pixels do.
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(MakeGradient(800, 600).save(&buffer, "BMP"));
    const QString halfBmp = folder.write(QStringLiteral("half.bmp"), bmp.left(bmp.size() / 2));
    const QByteArray gif = CraftedFiles::GifOnScreen(QSize(16, 16));
    const QString cutGif = folder.write(QStringLiteral("cut.gif"), gif.left(gif.size() - 3));
    ToOutputPage({missing, locked, tall, halfBmp, cutGif});
    const QStringList lines = Next().split(QLatin1Char('\n'));
    QStringList expected = {missing + QStringLiteral(": the photo does not exist"),
                            locked + QStringLiteral(": the photo may not be read"),
                            tall + QStringLiteral(": The picture file ") + tall +
                                QStringLiteral(" is too large: 100 x 65501 pixels, more than "
                                               "65500 a side"),
                            halfBmp + QStringLiteral(": the photo is damaged"),
                            cutGif + QStringLiteral(": the photo is damaged")};
    if (lockedOpens)
        expected.removeAt(1);
    EXPECT_EQ(lines.mid(1).join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
}

TEST_F(BatchFrameTest, TypedNamesOfAnyTypeAreTaken)
{
    const QString png = Photo(QStringLiteral("a.png"), 40, 30);
    const QString jpg = Photo(QStringLiteral("b.jpg"), 40, 30);
    const QString png2 = Photo(QStringLiteral("c.png"), 40, 30);
    const auto typeAndOpen = [this](const QString& typed, bool* enabled) {
        WhenModal<QFileDialog>([this, typed, enabled](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            ASSERT_TRUE(edit && buttons);
            // Typed as a user types: into the focused name box.
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            edit->setFocus();
            QTest::keyClicks(edit, typed);
            // The completion list, when it came up, would take the click.
            if (QCompleter* completion = edit->completer())
                completion->popup()->hide();
            QPushButton* open = buttons->button(QDialogButtonBox::Open);
            *enabled = open->isEnabled();
            if (*enabled)
                QTest::mouseClick(open, Qt::LeftButton);
            else
                dialog->reject();
        });
        QTest::mouseClick(wizard->SpeedButton3, Qt::LeftButton);
    };
    bool enabled = false;
    typeAndOpen(QStringLiteral("a.png"), &enabled);
    EXPECT_TRUE(enabled);
    ASSERT_EQ(wizard->lsbPicture->count(), 1);
    EXPECT_EQ(wizard->lsbPicture->item(0)->text(), png);

    enabled = false;
    typeAndOpen(QStringLiteral("\"b.jpg\" \"c.png\""), &enabled);
    EXPECT_TRUE(enabled);
    ASSERT_EQ(wizard->lsbPicture->count(), 3);
    EXPECT_EQ(wizard->lsbPicture->item(1)->text(), jpg);
    EXPECT_EQ(wizard->lsbPicture->item(2)->text(), png2);
}
