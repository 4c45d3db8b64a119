// The picture frame designer: its window, loading a picture, the preview that
// follows each finished drag, storing the frame file with "OK", and the main
// window's "New Picture Frame" command that shows the new frame in the
// frame list.

#include "FrameMakerBase.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "PicFrameMaker.h"
#include "PictureFrame.h"
#include "SidePanel.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Counts the paint events a widget receives.
class TPaintCounter : public QObject
{
public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
    int Count = 0;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class PictureFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("Frame/User"))));
        picture = folder.file(QStringLiteral("Wood.png"));
        ASSERT_TRUE(MakeGradient(810, 560).save(picture, "PNG"));
    }
    void TearDown() override
    {
        StopModalDrivers();
        dialog.reset();
    }

    QString ProgramFolder() const { return folder.path() + QLatin1Char('/'); }

    TfrmPictureFrame* Show()
    {
        const QString path = ProgramFolder();
        dialog = std::make_unique<TfrmPictureFrame>(nullptr, [path] { return path; });
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog.get();
    }

    // "Load picture" answered with Path; the dialog's folder is kept.
    void LoadPicture(const QString& path, QString* directory = nullptr)
    {
        WhenModal<QFileDialog>([=](QFileDialog* fileDialog) {
            if (directory)
                *directory = fileDialog->directory().absolutePath();
            // The file name box keeps its text while it has the focus, as it
            // has from the second showing on.
            if (QWidget* focus = fileDialog->focusWidget())
                focus->clearFocus();
            fileDialog->selectFile(path);
            static_cast<QDialog*>(fileDialog)->accept();
        });
        dialog->SpTBXButton3->click();
    }

    TTempDir folder;
    QString picture;
    std::unique_ptr<TfrmPictureFrame> dialog;
};

TEST_F(PictureFrameTest, WindowTextsPlacesAndTheGridAfterShowing)
{
    TfrmPictureFrame* form = Show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Create picture frame from a picture"));
    EXPECT_EQ(form->size(), QSize(676, 436));
    EXPECT_EQ(form->FrameSplit1->size(), QSize(405, 280));
    EXPECT_EQ(form->SpTBXPanel2->geometry(), QRect(16, 16, 409, 284));
    EXPECT_EQ(form->PaintBox1->geometry(), QRect(440, 32, 201, 201));
    EXPECT_EQ(form->FrameSplit1->GetBKColor(), MakeColorRef(255, 255, 255));
    const std::tuple<QPushButton*, const char*, QRect> buttons[] = {
        {form->SpTBXButton3, "Load picture", QRect(24, 304, 75, 25)},
        {form->SpTBXButton1, "OK", QRect(224, 392, 75, 25)},
        {form->SpTBXButton2, "Cancel", QRect(352, 392, 75, 25)},
    };
    for (const auto& [button, caption, place] : buttons) {
        EXPECT_EQ(button->text(), QString::fromLatin1(caption));
        // The place's size, or more where the caption needs it.
        EXPECT_EQ(button->geometry(),
                  QRect(place.topLeft(), place.size().expandedTo(button->sizeHint())))
            << caption;
        EXPECT_FALSE(button->autoDefault()) << caption;
    }
    EXPECT_EQ(form->OpenPictureDialog1->nameFilters(), TfrmMain::OpenPictureFilters());

    TDSplit* grid = form->FrameSplit1->Grid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetRect(), (TGPRect{10, 10, 385, 260}));
    EXPECT_TRUE(grid->Selected);
    // A second showing makes no second grid.
    form->hide();
    form->show();
    EXPECT_EQ(form->FrameSplit1->GetObjects().size(), 1u);
}

TEST_F(PictureFrameTest, PreviewIsBlankUntilAPictureIsLoaded)
{
    TfrmPictureFrame* form = Show();
    EXPECT_TRUE(TfrmPictureFrame::RenderPreview(*form->FrameSplit1, 603, 603).isNull());
    const QImage before = form->PaintBox1->grab().toImage();

    QString directory;
    LoadPicture(picture, &directory);
    EXPECT_EQ(QDir(directory), QDir(folder.path()));
    EXPECT_EQ(form->FrameSplit1->GetLoadedPicture().size(), QSize(810, 560));

    const QImage preview = TfrmPictureFrame::RenderPreview(*form->FrameSplit1, 603, 603);
    EXPECT_EQ(preview.size(), QSize(603, 603));
    const QImage shown = form->PaintBox1->grab().toImage();
    EXPECT_FALSE(SamePixels(before, shown));
    // Drawn at 200 x 200: the last column and row stay white.
    EXPECT_EQ(PixelAt(shown, 200, 100), qRgb(255, 255, 255));
    EXPECT_EQ(PixelAt(shown, 100, 200), qRgb(255, 255, 255));
    EXPECT_NE(PixelAt(shown, 2, 100), qRgb(255, 255, 255)); // the left band
}

TEST_F(PictureFrameTest, PreviewFollowsADragOnlyAtTheRelease)
{
    TfrmPictureFrame* form = Show();
    LoadPicture(picture);
    QCoreApplication::processEvents();
    TPaintCounter counter(form->PaintBox1);
    TFrameSplit* split = form->FrameSplit1;
    QTest::mousePress(split, Qt::LeftButton, {}, QPoint(20, 10)); // P0's square
    QMouseEvent move(QEvent::MouseMove, QPointF(900, 10), split->mapToGlobal(QPointF(900, 10)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(split, &move);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.Count, 0);
    // Released outside the control.
    QTest::mouseRelease(split, Qt::LeftButton, {}, QPoint(900, 10));
    EXPECT_TRUE(QTest::qWaitFor([&counter] { return counter.Count > 0; }));
    EXPECT_EQ(split->Grid()->Splits[0].X, 384);
}

TEST_F(PictureFrameTest, OkStoresThePiecesAsANewPictureFrameFile)
{
    TfrmPictureFrame* form = Show();
    LoadPicture(picture);
    const QDateTime before = QDateTime::currentDateTime();
    form->SpTBXButton1->click();
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->isVisible());

    const QFileInfo info(form->FileName);
    EXPECT_EQ(form->FileName.left(ProgramFolder().size() + 12),
              ProgramFolder() + QStringLiteral("/Frame/User/"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d{14}\\.okx$")).match(info.fileName()).hasMatch())
        << info.fileName().toStdString();
    // Named after the local date and time, not UTC.
    EXPECT_GE(info.fileName().left(14), before.toString(QStringLiteral("yyyyMMddHHmmss")));
    EXPECT_LE(info.fileName().left(14), after.toString(QStringLiteral("yyyyMMddHHmmss")));
    const QByteArray bytes = ReadAll(form->FileName);
    ASSERT_GE(bytes.size(), 6);
    EXPECT_EQ(bytes.left(6), QByteArray("OKX\0\0\2", 6));

    TPicFrameMaker maker;
    maker.LoadFromFile(form->FileName);
    // The default corners, 20 x 20 on screen, at half scale.
    EXPECT_EQ(maker.GetTopBand(), 40);
    EXPECT_EQ(maker.GetLeftBand(), 40);
    EXPECT_EQ(maker.GetAddedWidth(), 80);
    EXPECT_EQ(maker.GetAddedHeight(), 80);
}

TEST_F(PictureFrameTest, OkWithoutAPictureWritesAFrameOfEmptyPieces)
{
    TfrmPictureFrame* form = Show();
    form->SpTBXButton1->click();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(ReadAll(form->FileName).left(6), QByteArray("OKX\0\0\2", 6));
    TPicFrameMaker maker;
    maker.LoadFromFile(form->FileName);
    EXPECT_EQ(maker.GetAddedWidth(), 0);
}

TEST_F(PictureFrameTest, OkWithoutTheUserFolderReportsAndStaysOpen)
{
    ASSERT_TRUE(QDir(folder.file(QStringLiteral("Frame"))).removeRecursively());
    TfrmPictureFrame* form = Show();
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    form->SpTBXButton1->click();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot create file "))) << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::cleanPath(form->FileName)));
    EXPECT_FALSE(form->FileName.isEmpty());
    EXPECT_TRUE(form->isVisible());
    EXPECT_NE(form->result(), QDialog::Accepted);
}

TEST_F(PictureFrameTest, CancelLeavesNoFile)
{
    TfrmPictureFrame* form = Show();
    LoadPicture(picture);
    form->SpTBXButton2->click();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("Frame/User"))).isEmpty());
}

TEST_F(PictureFrameTest, UndecodablePictureIsReportedAndTheEarlierOneKept)
{
    const QString bad = folder.write(QStringLiteral("bad.jpg"), QByteArray("no picture"));
    TfrmPictureFrame* form = Show();
    LoadPicture(picture);
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    LoadPicture(bad);
    EXPECT_TRUE(message.contains(QFileInfo(bad).fileName())) << message.toStdString();
    EXPECT_EQ(form->FrameSplit1->GetLoadedPicture().size(), QSize(810, 560));
}

TEST_F(PictureFrameTest, PictureShownZeroPixelsWideOrHighIsRefusedAndTheEarlierOneKept)
{
    TfrmPictureFrame* form = Show();
    LoadPicture(picture);
    const TGPRect shown = form->FrameSplit1->GetDisplayRect();
    const int firstCut = form->FrameSplit1->Grid()->Splits[0].X;
    for (const QSize size : {QSize(1, 20000), QSize(20000, 1)}) {
        const QString thin = folder.file(QStringLiteral("thin.png"));
        ASSERT_TRUE(MakeSolid(size.width(), size.height(), Qt::red).save(thin, "PNG"));
        QString message;
        AnswerMessageBox(QMessageBox::Ok, &message);
        LoadPicture(thin);
        const QString why = size.width() == 1 ? QStringLiteral("narrow") : QStringLiteral("low");
        EXPECT_EQ(message, QStringLiteral("The picture file %1 is too %2 to cut into frame pieces: "
                                          "%3 x %4 pixels")
                               .arg(thin, why)
                               .arg(size.width())
                               .arg(size.height()));
        EXPECT_EQ(form->FrameSplit1->GetLoadedPicture().size(), QSize(810, 560));
        EXPECT_EQ(form->FrameSplit1->GetDisplayRect().Width, shown.Width);
        EXPECT_EQ(form->FrameSplit1->GetDisplayRect().Height, shown.Height);
        EXPECT_EQ(form->FrameSplit1->Grid()->Splits[0].X, firstCut);
    }
}

TEST_F(PictureFrameTest, FrameTooLargeForAFrameFileIsRefusedAndNothingWritten)
{
    const QString large = folder.file(QStringLiteral("Large.jpg"));
    ASSERT_TRUE(MakeSolid(10000, 8000, QColor(120, 80, 40)).save(large, "JPG"));
    TfrmPictureFrame* form = Show();
    LoadPicture(large);
    // Bands of 120 of the 280 rows and 150 of the 350 columns shown: the
    // pieces hold 98 % of the 80 megapixels, more than a frame file's
    // pictures may take (256 MB decoded).
    ASSERT_EQ(form->FrameSplit1->Grid()->GetRect(), (TGPRect{27, 0, 350, 280}));
    auto& p = form->FrameSplit1->Grid()->Splits;
    p[2].Y = 120, p[3].Y = p[9].Y = 130, p[4].Y = p[10].Y = 150, p[8].Y = 160;
    p[11].X = 177, p[5].X = 227;
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    form->SpTBXButton1->click();
    EXPECT_TRUE(message.contains(QStringLiteral("too large")) &&
                message.contains(QStringLiteral("256 MB")))
        << message.toStdString();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("Frame/User"))).isEmpty());
}

TEST_F(PictureFrameTest, NewFrameNamesAreDatedAndNeverReplaceAnEarlierFrame)
{
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    const QString first = TfrmPictureFrame::NewFrameName(ProgramFolder(), when);
    EXPECT_EQ(first, ProgramFolder() + QStringLiteral("/Frame/User/20260304050607.okx"));
    QFile(first).open(QIODevice::WriteOnly);
    EXPECT_EQ(TfrmPictureFrame::NewFrameName(ProgramFolder(), when),
              ProgramFolder() + QStringLiteral("/Frame/User/20260304050607_2.okx"));
}

// --- The main window's command ------------------------------------------------

class NewPictureFrameCommandTest : public PictureFrameTest
{
protected:
    void SetUp() override
    {
        PictureFrameTest::SetUp();
        // No tip of the day before the window.
        settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n");
        ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("Frame/Classic"))));
        const QString path = ProgramFolder();
        window = std::make_unique<TfrmMain>(TDesktopServices(), [path] { return path; });
        window->FormShow();
        panel = window->SidePanel.get();
        panel->lsbFrame->setCurrentIndex(panel->lsbFrame->findText(QStringLiteral("Classic")));
        window->lsbFrameChange();
        ASSERT_TRUE(WaitIdle());
    }
    void TearDown() override
    {
        StopModalDrivers();
        if (panel)
            WaitIdle();
        window.reset();
    }

    bool WaitIdle()
    {
        const QDeadlineTimer deadline(20000);
        while (panel->thuFrame->State() != TPicThumb::StateIdle && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return panel->thuFrame->State() == TPicThumb::StateIdle;
    }

    TScopedSettings settings;
    std::unique_ptr<TfrmMain> window;
    TSidePanel* panel = nullptr;
};

TEST_F(NewPictureFrameCommandTest, StoredFrameShowsInTheUserCategory)
{
    QString stored;
    WhenModal<TfrmPictureFrame>([&stored](TfrmPictureFrame* form) {
        EXPECT_EQ(form->parentWidget(), frmMain.data());
        form->SpTBXButton1->click();
        stored = form->FileName;
    });
    panel->mNewPictureFrame->trigger();
    ASSERT_FALSE(stored.isEmpty());
    EXPECT_EQ(frmPictureFrame->FileName, stored);
    EXPECT_EQ(panel->lsbFrame->currentText(), QStringLiteral("User"));
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(panel->thuFrame->Count(), 1);
    EXPECT_EQ(QFileInfo(panel->thuFrame->FileList().at(0)), QFileInfo(stored));
    EXPECT_EQ(panel->thuFrame->ItemIndex, -1);
}

TEST_F(NewPictureFrameCommandTest, CancelLeavesTheFrameListAlone)
{
    WhenModal<TfrmPictureFrame>([](TfrmPictureFrame* form) { form->SpTBXButton2->click(); });
    panel->mNewPictureFrame->trigger();
    EXPECT_EQ(panel->lsbFrame->currentText(), QStringLiteral("Classic"));
    EXPECT_EQ(panel->thuFrame->Count(), 0);
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("Frame/User"))).isEmpty());
}

} // namespace
