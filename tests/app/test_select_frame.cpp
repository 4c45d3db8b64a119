// The frame picker: categories listed through the main window, the first one
// chosen and built at once, blank and padded category names, category
// changes during a build, and the thumbnails' drawing.

#include "FrameMaker.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "PicThumb.h"
#include "SelectFrame.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void WriteSimpleFrame(const QString& fileName, int32_t band = 10)
{
    TSimapleFrameMaker maker;
    maker.SetOutEdge(0);
    maker.SetInnerEdge(0);
    maker.SetFrameWidth(band);
    maker.SetFrameHeight(band);
    maker.SetBackColor(MakeColorRef(200, 0, 0));
    maker.SaveToFile(fileName);
}

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

QStringList Names(const QStringList& files)
{
    QStringList names;
    for (const QString& file : files)
        names << QFileInfo(file).fileName();
    return names;
}

} // namespace

class SelectFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
        const QString path = folder.path() + QLatin1Char('/');
        window = std::make_unique<TfrmMain>(TDesktopServices(), [path] { return path; });
    }
    void TearDown() override
    {
        StopModalDrivers();
        picker.reset();
        window.reset();
    }

    QString Category(const QString& name)
    {
        const QString path = folder.path() + QStringLiteral("/Frame/") + name + QLatin1Char('/');
        QDir().mkpath(path);
        return path;
    }

    // Creates and shows the picker, as the wizard does.
    TfrmSelectFrame* Open()
    {
        picker = std::make_unique<TfrmSelectFrame>();
        picker->show();
        return picker.get();
    }

    TScopedSettings settings;
    TTempDir folder;
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<TfrmSelectFrame> picker;
};

TEST_F(SelectFrameTest, OpensOnTheFirstCategoryAndBuildsAtOnce)
{
    WriteSimpleFrame(Category(QStringLiteral("b")) + QStringLiteral("x.okx"));
    WriteSimpleFrame(Category(QStringLiteral("A")) + QStringLiteral("two.okx"));
    WriteSimpleFrame(Category(QStringLiteral("A")) + QStringLiteral("one.okx"));
    QFile(Category(QStringLiteral("A")) + QStringLiteral("note.txt")).open(QIODevice::WriteOnly);

    TfrmSelectFrame* p = Open();
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Select Frame"));
    EXPECT_EQ(p->size(), QSize(674, 423));
    EXPECT_EQ(p->thuFrame->size(), QSize(648, 337));
    ASSERT_EQ(p->lsbFrame->count(), 2);
    EXPECT_EQ(p->lsbFrame->currentText(), QStringLiteral("A"));
    EXPECT_EQ(Names(p->thuFrame->FileList()), QStringList({"one.okx", "two.okx"}));
    EXPECT_EQ(p->thuFrame->ItemIndex, -1);
    ASSERT_TRUE(WaitIdle(p->thuFrame));

    // Each thumbnail: the frame from three times the picture size, drawn
    // from (2, 2) to the right and bottom edges.
    const QImage thumb = ThumbOf(p->thuFrame, 0);
    ASSERT_EQ(thumb.size(), QSize(90, 90));
    EXPECT_EQ(AlphaAt(thumb, 0, 0), 0);
    EXPECT_EQ(AlphaAt(thumb, 1, 50), 0);
    EXPECT_EQ(AlphaAt(thumb, 2, 50), 255);
    EXPECT_EQ(AlphaAt(thumb, 89, 50), 255);
    EXPECT_EQ(AlphaAt(thumb, 45, 45), 0);

    p->lsbFrame->setCurrentIndex(1);
    p->lsbFrameChange();
    EXPECT_EQ(Names(p->thuFrame->FileList()), QStringList({"x.okx"}));
}

TEST_F(SelectFrameTest, PaddedAndBlankCategoryNames)
{
    WriteSimpleFrame(Category(QStringLiteral(" pad ")) + QStringLiteral("p.okx"));
    Category(QStringLiteral("   "));
    TfrmSelectFrame* p = Open();
    ASSERT_EQ(p->lsbFrame->count(), 2);
    // The padded name lists its own folder, blanks kept.
    p->lsbFrame->setCurrentIndex(p->lsbFrame->findText(QStringLiteral(" pad ")));
    p->lsbFrameChange();
    EXPECT_EQ(Names(p->thuFrame->FileList()), QStringList({"p.okx"}));
    // A name of blanks only lists nothing and leaves the browser alone.
    p->lsbFrame->setCurrentIndex(p->lsbFrame->findText(QStringLiteral("   ")));
    p->lsbFrameChange();
    EXPECT_EQ(Names(p->thuFrame->FileList()), QStringList({"p.okx"}));
    WaitIdle(p->thuFrame);
}

TEST_F(SelectFrameTest, MissingFolderGivesEmptyListsAndOkHandsBackNothing)
{
    TfrmSelectFrame* p = Open();
    EXPECT_EQ(p->lsbFrame->count(), 0);
    EXPECT_TRUE(p->thuFrame->FileList().isEmpty());
    QTest::mouseClick(p->OK, Qt::LeftButton);
    EXPECT_EQ(p->result(), QDialog::Accepted);
}

TEST_F(SelectFrameTest, QuickSwitchesNeverMixCategories)
{
    for (int i = 0; i < 12; ++i) {
        WriteSimpleFrame(Category(QStringLiteral("a")) +
                         QStringLiteral("a%1.okx").arg(i, 2, 10, QChar('0')));
        WriteSimpleFrame(Category(QStringLiteral("b")) +
                         QStringLiteral("b%1.okx").arg(i, 2, 10, QChar('0')));
    }
    TfrmSelectFrame* p = Open();
    for (int round = 0; round < 6; ++round) {
        p->lsbFrame->setCurrentIndex(round % 2);
        p->lsbFrameChange();
    }
    ASSERT_TRUE(WaitIdle(p->thuFrame));
    const QStringList files = p->thuFrame->FileList();
    ASSERT_EQ(files.size(), 12);
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(file).fileName().startsWith(u'b')) << file.toStdString();
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(ThumbOf(p->thuFrame, i).size(), QSize(90, 90));
}

TEST_F(SelectFrameTest, DamagedAndUnknownFilesLeaveTheirThumbnailsEmpty)
{
    const QString path = Category(QStringLiteral("c"));
    QFile bad(path + QStringLiteral("a.okx"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("OKX\0\0\x07", 6));
    bad.close();
    WriteSimpleFrame(path + QStringLiteral("b.okx"));
    TfrmSelectFrame* p = Open();
    ASSERT_TRUE(WaitIdle(p->thuFrame));
    EXPECT_TRUE(ThumbOf(p->thuFrame, 0).isNull());
    EXPECT_EQ(ThumbOf(p->thuFrame, 1).size(), QSize(90, 90));
}
