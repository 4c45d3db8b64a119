// The side panel: folder listings, the start-up filling, category changes,
// the two thumbnail callbacks and the commands that put a frame, a PNG frame
// or a clip-art picture on the canvas.

#include "FrameMaker.h"
#include "ModalDriver.h"
#include "PicClass.h"
#include "QynKadrix.h"
#include "SidePanel.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

// A simple frame file with a band of the given colour reference.
void WriteSimpleFrame(const QString& fileName, TColorRef band, int32_t bandWidth = 30)
{
    TSimapleFrameMaker maker;
    maker.SetFrameWidth(bandWidth);
    maker.SetFrameHeight(bandWidth);
    maker.SetBackColor(band);
    maker.SetOutEdgeColor(band);
    maker.SetInnerEdgeColor(band);
    maker.SaveToFile(fileName);
}

void WritePng(const QString& fileName, int width, int height, QColor color = Qt::green)
{
    ASSERT_TRUE(MakeSolid(width, height, color).save(fileName, "PNG"));
}

void Touch(const QString& fileName, const QByteArray& bytes = "x")
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Items(const QComboBox& combo)
{
    QStringList result;
    for (int i = 0; i < combo.count(); ++i)
        result << combo.itemText(i);
    return result;
}

// Waits, handling events, until the browser's run has ended.
bool WaitIdle(TPicThumb* thumb)
{
    const QDeadlineTimer deadline(20000);
    while (thumb->State() != TPicThumb::StateIdle && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    return thumb->State() == TPicThumb::StateIdle;
}

QImage ThumbOf(TPicThumb* thumb, int index)
{
    TImageInfor* item = thumb->Item(index);
    std::lock_guard<std::mutex> lock(item->Thumb.Lock());
    return item->Thumb.Image.copy();
}

// The centre of an item's cell at the browser's present size.
QPoint CellCentre(TPicThumb* thumb, int index)
{
    QCoreApplication::processEvents();
    thumb->CalcLayout();
    const TRect r = thumb->CellRect(index);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

class SidePanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = dir.path() + QStringLiteral("/");
        for (QWidget** page : {&framePage, &pngPage, &clipPage}) {
            *page = new QWidget(&host);
        }
        canvas = new TQynKadrix(&host);
        canvas->setGeometry(0, 0, 800, 600);
        panel = std::make_unique<TSidePanel>(
            canvas, [this] { return root; }, framePage, pngPage, clipPage);
        framePage->setGeometry(0, 0, 341, 500);
        pngPage->setGeometry(0, 0, 341, 500);
        clipPage->setGeometry(0, 0, 341, 500);
        host.resize(1200, 700);
        host.show();
    }
    void TearDown() override { StopModalDrivers(); }

    void MakeFolder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(root + relative)); }

    // Two frame categories, two clip-art categories and three PNG frames.
    void MakeProgramFolder()
    {
        MakeFolder(QStringLiteral("Frame/beta"));
        MakeFolder(QStringLiteral("Frame/Alpha"));
        WriteSimpleFrame(root + QStringLiteral("Frame/Alpha/red.okx"), 0x0000FF);
        WriteSimpleFrame(root + QStringLiteral("Frame/Alpha/blue.okx"), 0xFF0000);
        WriteSimpleFrame(root + QStringLiteral("Frame/beta/green.okx"), 0x00FF00);
        MakeFolder(QStringLiteral("clipart/Zoo"));
        MakeFolder(QStringLiteral("clipart/animals"));
        WritePng(root + QStringLiteral("clipart/animals/a.png"), 40, 30);
        WritePng(root + QStringLiteral("clipart/animals/b.png"), 200, 100);
        WritePng(root + QStringLiteral("clipart/animals/c.png"), 50, 200);
        WritePng(root + QStringLiteral("clipart/animals/d.png"), 90, 50);
        WritePng(root + QStringLiteral("clipart/Zoo/z.png"), 10, 10);
        MakeFolder(QStringLiteral("png"));
        WritePng(root + QStringLiteral("png/one.png"), 300, 200, Qt::red);
        WritePng(root + QStringLiteral("png/two.png"), 300, 200, Qt::blue);
    }

    // Counts the frame callback's calls and the files they were for.
    void CountFrameCalls()
    {
        panel->thuFrame->OnCreateThumb = [this](TPicThumb* Sender, const QString& AFileName,
                                                TThumbBitmap& AThumBmp, int32_t AWidth,
                                                int32_t AHeight, PImageInfor ImageInfor) {
            {
                std::lock_guard<std::mutex> lock(callsLock);
                calls << AFileName;
            }
            TSidePanel::thuFrameCreateThumb(Sender, AFileName, AThumBmp, AWidth, AHeight,
                                            ImageInfor);
        };
    }
    QStringList Calls()
    {
        std::lock_guard<std::mutex> lock(callsLock);
        return calls;
    }

    TTempDir dir;
    QString root;
    // Before the host: the counting callback may run until the host's
    // browsers have joined their workers.
    std::mutex callsLock;
    QStringList calls;
    QWidget host;
    QWidget* framePage = nullptr;
    QWidget* pngPage = nullptr;
    QWidget* clipPage = nullptr;
    TQynKadrix* canvas = nullptr;
    std::unique_ptr<TSidePanel> panel;
};

// ---------------------------------------------------------------------------
// Folder listings

TEST_F(SidePanelTest, FillFolderComboListsEveryEntryByNameIgnoringCase)
{
    MakeFolder(QStringLiteral("cats/beta"));
    MakeFolder(QStringLiteral("cats/Alpha"));
    MakeFolder(QStringLiteral("cats/.hidden"));
    Touch(root + QStringLiteral("cats/Gamma.txt"));
    Touch(root + QStringLiteral("cats/delta"));

    QComboBox combo;
    combo.addItem(QStringLiteral("old"));
    TSidePanel::FillFolderCombo(&combo, root + QStringLiteral("cats/"));
    EXPECT_EQ(Items(combo), (QStringList{QStringLiteral(".hidden"), QStringLiteral("Alpha"),
                                         QStringLiteral("beta"), QStringLiteral("delta"),
                                         QStringLiteral("Gamma.txt")}));

    // A missing folder empties the list.
    TSidePanel::FillFolderCombo(&combo, root + QStringLiteral("none/"));
    EXPECT_EQ(combo.count(), 0);
}

TEST_F(SidePanelTest, AddFolderFilesTakesTheExtensionAsASubstringOfThePattern)
{
    const QString folder = root + QStringLiteral("png/");
    MakeFolder(QStringLiteral("png/sub.png"));
    for (const char* name : {"a.png", "B.PNG", "c.Png", "d.p", "e.pn", "f.", "g.pngx", "h.gif",
                             "noext", "i.tar.png", "j.png.gif"})
        Touch(folder + QString::fromLatin1(name));

    TPicThumb thumb;
    TSidePanel::AddFolderFiles(&thumb, folder, QStringLiteral("*.png"));
    const QStringList expected{folder + "a.png",    folder + "B.PNG", folder + "c.Png",
                               folder + "d.p",      folder + "e.pn",  folder + "f.",
                               folder + "i.tar.png"};
    EXPECT_EQ(thumb.FileList(), expected);

    // Appends without clearing; the pattern's own case does not count.
    TSidePanel::AddFolderFiles(&thumb, folder, QStringLiteral("*.PNG"));
    EXPECT_EQ(thumb.Count(), 14);
    EXPECT_EQ(thumb.ItemIndex, -1);

    TPicThumb frames;
    TSidePanel::AddFolderFiles(&frames, folder, QStringLiteral("*.okx"));
    EXPECT_EQ(frames.FileList(), (QStringList{folder + "f."}));
    TSidePanel::AddFolderFiles(&frames, root + QStringLiteral("missing/"), QStringLiteral("*.okx"));
    EXPECT_EQ(frames.Count(), 1);
}

// ---------------------------------------------------------------------------
// Start-up filling and category changes

TEST_F(SidePanelTest, StartUpFillsEveryListAndShowsTheFirstCategories)
{
    MakeProgramFolder();
    panel->FillAtStartUp();

    EXPECT_EQ(Items(*panel->lsbFrame), (QStringList{"Alpha", "beta"}));
    EXPECT_EQ(panel->lsbFrame->currentIndex(), 0);
    EXPECT_EQ(panel->thuFrame->FileList(),
              (QStringList{root + "/Frame/Alpha/blue.okx", root + "/Frame/Alpha/red.okx"}));
    EXPECT_EQ(Items(*panel->lsbPicture), (QStringList{"animals", "Zoo"}));
    EXPECT_EQ(panel->lsbPicture->currentIndex(), 0);
    EXPECT_EQ(panel->thPng->FileList(),
              (QStringList{root + "/png/one.png", root + "/png/two.png"}));

    // Clip-art and PNG thumbnails exist at once, at their fitted sizes.
    ASSERT_EQ(panel->thuPicture->Count(), 4);
    const QSize fitted[] = {{40, 30}, {90, 45}, {22, 90}, {90, 50}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(panel->thuPicture->Item(i)->HasThumb.load()) << i;
        EXPECT_EQ(ThumbOf(panel->thuPicture, i).size(), fitted[i]) << i;
    }
    EXPECT_EQ(PixelAt(ThumbOf(panel->thuPicture, 1), 45, 20), qRgb(0, 255, 0));
    // 300 x 0.3 with 0.3 held just below: 89 x 59.
    EXPECT_EQ(ThumbOf(panel->thPng, 0).size(), QSize(89, 59));
    EXPECT_EQ(PixelAt(ThumbOf(panel->thPng, 1), 10, 10), qRgb(0, 0, 255));

    // Frame thumbnails come from the worker.
    ASSERT_TRUE(WaitIdle(panel->thuFrame));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(ThumbOf(panel->thuFrame, i).size(), QSize(90, 90)) << i;
}

TEST_F(SidePanelTest, TheProgramFolderContentShowsWithAThumbnailForEveryFile)
{
    const QString programDir = qEnvironmentVariable("ORVO_PROGRAM_DIR");
    if (programDir.isEmpty() || !QDir(programDir + QStringLiteral("/Frame")).exists())
        GTEST_SKIP() << "no program folder content in this build";
    root = programDir + QStringLiteral("/");
    panel->FillAtStartUp();
    EXPECT_TRUE(Items(*panel->lsbFrame).contains(QStringLiteral("User")));
    EXPECT_GT(panel->lsbPicture->count(), 0);
    EXPECT_GT(panel->thPng->Count(), 0);

    // Every frame category: a thumbnail for each file, opaque somewhere on
    // its band and clear in its opening.
    for (int c = 0; c < panel->lsbFrame->count(); ++c) {
        panel->lsbFrame->setCurrentIndex(c);
        panel->lsbFrameChange();
        ASSERT_TRUE(WaitIdle(panel->thuFrame));
        for (int i = 0; i < panel->thuFrame->Count(); ++i) {
            const QImage thumb = ThumbOf(panel->thuFrame, i);
            ASSERT_EQ(thumb.size(), QSize(90, 90))
                << panel->thuFrame->FileList().at(i).toStdString();
            EXPECT_GT(AlphaAt(thumb, 4, 46), 0) << panel->thuFrame->FileList().at(i).toStdString();
            EXPECT_EQ(AlphaAt(thumb, 46, 46), 0) << panel->thuFrame->FileList().at(i).toStdString();
        }
    }
    for (TPicThumb* thumb : {panel->thuPicture, panel->thPng}) {
        for (int i = 0; i < thumb->Count(); ++i)
            EXPECT_FALSE(ThumbOf(thumb, i).isNull()) << thumb->FileList().at(i).toStdString();
    }
}

TEST_F(SidePanelTest, MissingContentFoldersLeaveEveryListEmpty)
{
    panel->FillAtStartUp();
    EXPECT_EQ(panel->lsbFrame->count(), 0);
    EXPECT_EQ(panel->lsbPicture->count(), 0);
    EXPECT_EQ(panel->thuFrame->Count(), 0);
    EXPECT_EQ(panel->thuPicture->Count(), 0);
    EXPECT_EQ(panel->thPng->Count(), 0);
    EXPECT_EQ(panel->thuFrame->State(), TPicThumb::StateIdle);
}

TEST_F(SidePanelTest, ACategoryChosenByTheUserRebuildsTheBrowserOnce)
{
    MakeProgramFolder();
    CountFrameCalls();
    panel->FillAtStartUp();
    ASSERT_TRUE(WaitIdle(panel->thuFrame));
    EXPECT_EQ(Calls().size(), 2);

    // Selecting from code changes nothing.
    panel->lsbFrame->setCurrentIndex(1);
    QCoreApplication::processEvents();
    ASSERT_TRUE(WaitIdle(panel->thuFrame));
    EXPECT_EQ(Calls().size(), 2);
    EXPECT_EQ(panel->thuFrame->Count(), 2);

    // The user's choice (the list's activation) reloads it.
    panel->lsbFrame->setCurrentIndex(0);
    panel->lsbFrame->setFocus();
    QTest::keyClick(panel->lsbFrame, Qt::Key_Down);
    ASSERT_EQ(panel->lsbFrame->currentText(), QStringLiteral("beta"));
    ASSERT_TRUE(WaitIdle(panel->thuFrame));
    EXPECT_EQ(panel->thuFrame->FileList(), (QStringList{root + "/Frame/beta/green.okx"}));
    EXPECT_EQ(Calls().size(), 3);
    EXPECT_EQ(Calls().last(), root + "/Frame/beta/green.okx");
    EXPECT_EQ(panel->thuFrame->ItemIndex, -1);

    // The clip-art list the same way, built at once.
    panel->lsbPicture->setFocus();
    QTest::keyClick(panel->lsbPicture, Qt::Key_Down);
    EXPECT_EQ(panel->thuPicture->FileList(), (QStringList{root + "/clipart/Zoo/z.png"}));
    EXPECT_EQ(ThumbOf(panel->thuPicture, 0).size(), QSize(10, 10));
}

TEST_F(SidePanelTest, ChangingCategoryDuringABuildShowsOnlyTheNewCategory)
{
    MakeFolder(QStringLiteral("Frame/many"));
    MakeFolder(QStringLiteral("Frame/other"));
    for (int i = 0; i < 10; ++i)
        WriteSimpleFrame(root + QStringLiteral("Frame/many/f%1.okx").arg(i), 0x0000FF);
    WriteSimpleFrame(root + QStringLiteral("Frame/other/o1.okx"), 0xFF0000);
    WriteSimpleFrame(root + QStringLiteral("Frame/other/o2.okx"), 0xFF0000);

    // The first thumbnail of the old category is held on the worker until
    // the change is under way, so the change always meets a running build.
    std::mutex gateLock;
    std::condition_variable gateChanged;
    bool gateOpen = false;
    panel->thuFrame->OnCreateThumb = [&](TPicThumb* Sender, const QString& AFileName,
                                         TThumbBitmap& AThumBmp, int32_t AWidth, int32_t AHeight,
                                         PImageInfor ImageInfor) {
        {
            std::unique_lock<std::mutex> lock(gateLock);
            gateChanged.wait(lock, [&] { return gateOpen; });
        }
        {
            std::lock_guard<std::mutex> lock(callsLock);
            calls << AFileName;
        }
        TSidePanel::thuFrameCreateThumb(Sender, AFileName, AThumBmp, AWidth, AHeight, ImageInfor);
    };
    panel->FillAtStartUp();
    ASSERT_EQ(panel->thuFrame->State(), TPicThumb::StateBuilding);

    // Handled while the change waits for the old build to stop.
    QTimer::singleShot(0, [&] {
        std::lock_guard<std::mutex> lock(gateLock);
        gateOpen = true;
        gateChanged.notify_all();
    });
    panel->lsbFrame->setFocus();
    QTest::keyClick(panel->lsbFrame, Qt::Key_Down);
    ASSERT_TRUE(WaitIdle(panel->thuFrame));

    // The old build stopped before its first item or right after it.
    QStringList seen = Calls();
    if (seen.size() == 3) {
        EXPECT_EQ(seen.takeFirst(), root + "/Frame/many/f0.okx");
    }
    EXPECT_EQ(seen, (QStringList{root + "/Frame/other/o1.okx", root + "/Frame/other/o2.okx"}));
    ASSERT_EQ(panel->thuFrame->Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const QImage thumb = ThumbOf(panel->thuFrame, i);
        ASSERT_EQ(thumb.size(), QSize(90, 90));
        EXPECT_EQ(PixelAt(thumb, 5, 5), qRgb(0, 0, 255)) << i;
    }
}

// ---------------------------------------------------------------------------
// Thumbnail callbacks

TEST_F(SidePanelTest, FrameThumbnailIsTheFrameAtThreeTimesTheCellDrawnFromTwoTwo)
{
    const QString file = dir.file(QStringLiteral("red.okx"));
    WriteSimpleFrame(file, 0x0000FF, 27);
    TThumbBitmap bitmap;
    TSidePanel::thuFrameCreateThumb(nullptr, file, bitmap, 90, 90, nullptr);

    ASSERT_EQ(bitmap.Image.size(), QSize(90, 90));
    // The band is 27 of 270 pixels: 8.8 of the 88 drawn.
    EXPECT_EQ(AlphaAt(bitmap.Image, 1, 1), 0);
    EXPECT_EQ(AlphaAt(bitmap.Image, 1, 50), 0);
    EXPECT_EQ(AlphaAt(bitmap.Image, 50, 1), 0);
    EXPECT_EQ(PixelAt(bitmap.Image, 3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap.Image, 9, 50), qRgb(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap.Image, 89, 89), qRgb(255, 0, 0));
    EXPECT_EQ(AlphaAt(bitmap.Image, 12, 50), 0);
    EXPECT_EQ(AlphaAt(bitmap.Image, 46, 46), 0);
}

TEST_F(SidePanelTest, BadFrameFilesLeaveTheirThumbnailEmptyAndTheRunGoesOn)
{
    MakeFolder(QStringLiteral("Frame/mixed"));
    const QString folder = root + QStringLiteral("Frame/mixed/");
    // Type byte 7 has no generator; a header alone is cut short; a simple
    // frame with a record far longer than the file.
    Touch(folder + QStringLiteral("a.okx"), QByteArray("OKX\0\0\7", 6) + QByteArray(60, '\0'));
    Touch(folder + QStringLiteral("b.okx"), QByteArray("OKX\0\0\0", 6));
    Touch(folder + QStringLiteral("c.okx"), QByteArray("OK", 2));
    WriteSimpleFrame(folder + QStringLiteral("d.okx"), 0xFF0000);
    panel->FillAtStartUp();
    ASSERT_TRUE(WaitIdle(panel->thuFrame));

    ASSERT_EQ(panel->thuFrame->Count(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(ThumbOf(panel->thuFrame, i).isNull()) << i;
    const QImage good = ThumbOf(panel->thuFrame, 3);
    ASSERT_EQ(good.size(), QSize(90, 90));
    EXPECT_EQ(PixelAt(good, 5, 5), qRgb(0, 0, 255));

    // Adding a file without a generator does nothing; a damaged one reports.
    WritePng(root + QStringLiteral("p.png"), 300, 200);
    canvas->LoadFrame(root + QStringLiteral("p.png"));
    const QImage before = canvas->Frame->GetBitmap()->copy();
    panel->thuFrame->SetItemIndex(0);
    panel->thuFrameDblClick();
    EXPECT_TRUE(SamePixels(*canvas->Frame->GetBitmap(), before));
    panel->thuFrame->SetItemIndex(1);
    EXPECT_ANY_THROW(panel->thuFrameDblClick());
}

TEST_F(SidePanelTest, PictureThumbnailsFitTheCellAndUndecodableOnesStayEmpty)
{
    struct TCase
    {
        int w, h;
        QSize expected;
    };
    const TCase cases[] = {{40, 30, {40, 30}},   {200, 100, {90, 45}}, {50, 200, {22, 90}},
                           {90, 50, {90, 50}},   {89, 89, {89, 89}},   {90, 90, {90, 90}},
                           {300, 1000, {26, 89}}};
    for (const TCase& c : cases) {
        const QString file = dir.file(QStringLiteral("p%1x%2.png").arg(c.w).arg(c.h));
        WritePng(file, c.w, c.h);
        TThumbBitmap bitmap;
        TSidePanel::thPngCreateThumb(nullptr, file, bitmap, 90, 90, nullptr);
        EXPECT_EQ(bitmap.Image.size(), c.expected) << c.w << "x" << c.h;
        EXPECT_EQ(PixelAt(bitmap.Image, c.expected.width() - 1, c.expected.height() - 1),
                  qRgb(0, 255, 0));
    }
    TThumbBitmap broken;
    TSidePanel::thPngCreateThumb(nullptr, dir.write(QStringLiteral("x.png"), "not a picture"),
                                 broken, 90, 90, nullptr);
    EXPECT_TRUE(broken.Image.isNull());
}

// ---------------------------------------------------------------------------
// Commands

TEST_F(SidePanelTest, DoubleClickPutsTheFrameOnTheCanvasAtItsFrameSize)
{
    MakeProgramFolder();
    panel->FillAtStartUp();
    canvas->LoadFrame(root + QStringLiteral("png/one.png"));
    const int width = canvas->GetFrameWidth();
    const int height = canvas->GetFrameHeight();
    ASSERT_GT(width, 100);

    // Nothing selected: nothing happens.
    const QImage before = canvas->Frame->GetBitmap()->copy();
    QTest::mouseClick(panel->SpTBXButton6, Qt::LeftButton);
    EXPECT_TRUE(SamePixels(*canvas->Frame->GetBitmap(), before));

    // "red.okx" is the second file; its frame arrives before its thumbnail
    // need be drawn.
    QTest::mouseClick(panel->thuFrame->viewport(), Qt::LeftButton, Qt::NoModifier,
                      CellCentre(panel->thuFrame, 1));
    ASSERT_EQ(panel->thuFrame->ItemIndex, 1);
    QTest::mouseDClick(panel->thuFrame->viewport(), Qt::LeftButton, Qt::NoModifier,
                       CellCentre(panel->thuFrame, 1));
    const QImage* frame = canvas->Frame->GetBitmap();
    ASSERT_EQ(frame->size(), QSize(width, height));
    EXPECT_EQ(PixelAt(*frame, 3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(AlphaAt(*frame, width / 2, height / 2), 0);
    ASSERT_TRUE(WaitIdle(panel->thuFrame));
}

TEST_F(SidePanelTest, PngFrameAddUsesTheFirstFileWhenNoneIsSelected)
{
    MakeProgramFolder();
    panel->FillAtStartUp();
    canvas->LoadFrame(root + QStringLiteral("clipart/Zoo/z.png"));

    QTest::mouseClick(panel->SpTBXButton7, Qt::LeftButton);
    EXPECT_EQ(PixelAt(*canvas->Frame->GetBitmap(), 5, 5), qRgb(255, 0, 0));

    QTest::mouseClick(panel->thPng->viewport(), Qt::LeftButton, Qt::NoModifier,
                      CellCentre(panel->thPng, 1));
    QTest::mouseDClick(panel->thPng->viewport(), Qt::LeftButton, Qt::NoModifier,
                       CellCentre(panel->thPng, 1));
    EXPECT_EQ(PixelAt(*canvas->Frame->GetBitmap(), 5, 5), qRgb(0, 0, 255));

    // An empty list does nothing.
    panel->thPng->Clear();
    panel->thPngDblClick();
    EXPECT_EQ(PixelAt(*canvas->Frame->GetBitmap(), 5, 5), qRgb(0, 0, 255));
}

TEST_F(SidePanelTest, ClipArtAddPutsTheSelectedPictureOnTopAndNothingWithoutSelection)
{
    MakeProgramFolder();
    panel->FillAtStartUp();
    canvas->LoadFrame(root + QStringLiteral("png/one.png"));

    QTest::mouseClick(panel->SpTBXButton3, Qt::LeftButton);
    EXPECT_TRUE(canvas->Overlays.empty());

    QTest::mouseClick(panel->thuPicture->viewport(), Qt::LeftButton, Qt::NoModifier,
                      CellCentre(panel->thuPicture, 2));
    QTest::mouseDClick(panel->thuPicture->viewport(), Qt::LeftButton, Qt::NoModifier,
                       CellCentre(panel->thuPicture, 2));
    ASSERT_EQ(canvas->Overlays.size(), 1u);
    auto* clip = dynamic_cast<TPicClass*>(canvas->Overlays.back().get());
    ASSERT_NE(clip, nullptr);
    // 50 x 200 fitted into 64 x 64.
    EXPECT_EQ(clip->Height, 64);
    EXPECT_EQ(clip->Width, 16);
    EXPECT_EQ(panel->thuPicture->Count(), 4);
}

TEST_F(SidePanelTest, LoadingFromFileGoesToTheCanvasWithoutTouchingTheLists)
{
    MakeProgramFolder();
    panel->FillAtStartUp();
    canvas->LoadFrame(root + QStringLiteral("png/one.png"));
    const QString chosen = dir.file(QStringLiteral("chosen.png"));
    WritePng(chosen, 120, 80, Qt::yellow);

    AnswerFileDialog(chosen);
    QTest::mouseClick(panel->SpTBXButton8, Qt::LeftButton);
    EXPECT_EQ(PixelAt(*canvas->Frame->GetBitmap(), 5, 5), qRgb(255, 255, 0));
    EXPECT_EQ(panel->thPng->Count(), 2);

    AnswerFileDialog(chosen);
    QTest::mouseClick(panel->SpTBXButton9, Qt::LeftButton);
    EXPECT_EQ(canvas->Overlays.size(), 1u);
    EXPECT_EQ(panel->thuPicture->Count(), 4);

    // Cancelled: nothing.
    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QTest::mouseClick(panel->SpTBXButton9, Qt::LeftButton);
    EXPECT_EQ(canvas->Overlays.size(), 1u);
}

} // namespace
