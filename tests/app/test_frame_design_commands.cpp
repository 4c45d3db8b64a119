// The Frame tab's design commands of the main window: "New Simple Frame",
// "New Ornate Frame" and "Edit", and how a stored frame reaches the list.

#include "DesktopServices.h"
#include "FrameMaker.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "OrnateFrame.h"
#include "PicClass.h"
#include "QynKadrix.h"
#include "SidePanel.h"
#include "SimpleFrame.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

void WriteSimpleFrame(const QString& fileName, TColorRef band, int32_t width = 20)
{
    TSimapleFrameMaker maker;
    maker.SetOutEdge(2);
    maker.SetFrameWidth(width);
    maker.SetFrameHeight(width);
    maker.SetBackColor(band);
    maker.SetOutEdgeColor(band);
    maker.SetInnerEdgeColor(band);
    maker.SetShape(TSimapleFrameMaker::shRectangle);
    maker.SaveToFile(fileName);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

class FrameDesignCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No tip of the day before the window.
        ASSERT_TRUE(QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
        QDir root(folder.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("Frame/Plain")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("Frame/User")));
        ASSERT_TRUE(
            MakeSolid(300, 200, Qt::darkRed).save(folder.file(QStringLiteral("Default.png"))));
        ASSERT_TRUE(MakeGradient(400, 300).save(folder.file(QStringLiteral("Default.jpg")), "JPG"));
        WriteSimpleFrame(Plain(QStringLiteral("a.okx")), MakeColorRef(200, 0, 0));
        WriteOrnateFrame(Plain(QStringLiteral("b.okx")), 30);
        QFile picture(Plain(QStringLiteral("c.okx")));
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
        picture.write(QByteArray("OKX\0\0\x02", 6));
        picture.close();

        const QString path = folder.path() + QLatin1Char('/');
        window = std::make_unique<TfrmMain>(TDesktopServices{}, [path] { return path; });
        window->ShowMaximised();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->QynKadrix1->Photo->Loaded; }));
        ASSERT_TRUE(WaitIdle(Thumbs()));
    }
    void TearDown() override
    {
        StopModalDrivers();
        window.reset();
    }

    QString Plain(const QString& name) const
    {
        // The form the side panel lists its files in.
        return folder.path() + QStringLiteral("//Frame/Plain/") + name;
    }
    void WriteOrnateFrame(const QString& fileName, int32_t size)
    {
        TOrnateFrameMaker maker;
        maker.SetFrameSize(size);
        TMemoryStream stream;
        SaveBitmapToJpegStream(MakeSolid(size, size, QColor(20, 90, 160)), stream);
        maker.LoadPieceFromStream(stream);
        maker.SaveToFile(fileName);
    }
    TPicThumb* Thumbs() const { return window->SidePanel->thuFrame; }
    QComboBox* Categories() const { return window->SidePanel->lsbFrame; }
    int IndexOf(const QString& file) const { return Thumbs()->FileList().indexOf(file); }
    QStringList UserFrames() const
    {
        return QDir(folder.file(QStringLiteral("Frame/User"))).entryList(QDir::Files);
    }

    TScopedSettings settings;
    TTempDir folder;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(FrameDesignCommandsTest, NewSimpleFrameIsStoredAndTheUserCategoryShown)
{
    ASSERT_EQ(Categories()->currentText(), QStringLiteral("Plain"));
    ASSERT_EQ(Thumbs()->Count(), 3);
    WhenModal<TfrmSimpleFrame>([](TfrmSimpleFrame* dialog) {
        EXPECT_TRUE(dialog->FrameFile.isEmpty());
        EXPECT_EQ(dialog->tbFrameWidth->value(), 20);
        dialog->tbFrameWidth->setValue(35);
        dialog->SpTBXButton1->click();
    });
    window->SidePanel->mNewSimpleFrame->trigger();

    ASSERT_EQ(UserFrames().size(), 1);
    EXPECT_EQ(Categories()->currentText(), QStringLiteral("User"));
    ASSERT_TRUE(WaitIdle(Thumbs()));
    ASSERT_EQ(Thumbs()->Count(), 1);
    EXPECT_EQ(QFileInfo(Thumbs()->FileList().at(0)).fileName(), UserFrames().at(0));
    EXPECT_EQ(Thumbs()->ItemIndex, -1) << "the reload leaves no item current";
    TSimapleFrameMaker back;
    back.LoadFromFile(Thumbs()->FileList().at(0));
    EXPECT_EQ(back.GetFrameWidth(), 35);
    // The designer stays with the window.
    EXPECT_EQ(window->findChildren<TfrmSimpleFrame*>().size(), 1);
}

TEST_F(FrameDesignCommandsTest, NewOrnateFrameWithoutAUserCategoryStaysAppendedAndCurrent)
{
    Categories()->removeItem(Categories()->findText(QStringLiteral("User")));
    WhenModal<TfrmOrnateFrame>([](TfrmOrnateFrame* dialog) {
        dialog->TilePicture = MakeSolid(20, 20, Qt::yellow);
        dialog->SpTBXButton1->click();
    });
    window->SidePanel->mNewOrnateFrame->trigger();

    ASSERT_EQ(UserFrames().size(), 1);
    EXPECT_EQ(Categories()->currentIndex(), -1);
    ASSERT_EQ(Thumbs()->Count(), 4);
    EXPECT_EQ(Thumbs()->ItemIndex, 3);
    EXPECT_EQ(GetFrameFileType(Thumbs()->FileList().at(3)), ftOrnate);
}

TEST_F(FrameDesignCommandsTest, CancelledNewDesignChangesNothing)
{
    WhenModal<TfrmSimpleFrame>([](TfrmSimpleFrame* dialog) { dialog->SpTBXButton2->click(); });
    window->SidePanel->mNewSimpleFrame->trigger();
    EXPECT_TRUE(UserFrames().isEmpty());
    EXPECT_EQ(Categories()->currentText(), QStringLiteral("Plain"));
    EXPECT_EQ(Thumbs()->Count(), 3);
}

TEST_F(FrameDesignCommandsTest, EditCancelWritesNothingButDrawsTheThumbnailAgain)
{
    const QString file = Plain(QStringLiteral("a.okx"));
    const int index = IndexOf(file);
    ASSERT_GE(index, 0);
    Thumbs()->SetItemIndex(index);
    const QImage before = ThumbOf(Thumbs(), index);

    QByteArray written;
    WhenModal<TfrmSimpleFrame>([&](TfrmSimpleFrame* dialog) {
        EXPECT_EQ(dialog->FrameFile, file);
        EXPECT_EQ(dialog->tbOutEdge->value(), 2);
        EXPECT_TRUE(dialog->btnRect->isChecked());
        // Someone else changes the file while the dialog is open.
        WriteSimpleFrame(file, MakeColorRef(0, 0, 200));
        written = ReadAll(file);
        dialog->tbFrameWidth->setValue(60);
        dialog->SpTBXButton2->click();
    });
    window->SidePanel->btnEdit->click();

    EXPECT_EQ(ReadAll(file), written);
    const QImage after = ThumbOf(Thumbs(), index);
    EXPECT_FALSE(SamePixels(before, after)) << "the thumbnail shows the file as it now is";
    EXPECT_TRUE(UserFrames().isEmpty());
}

TEST_F(FrameDesignCommandsTest, EditOkRewritesAnOrnateFrameInPlace)
{
    const QString file = Plain(QStringLiteral("b.okx"));
    Thumbs()->SetItemIndex(IndexOf(file));
    WhenModal<TfrmOrnateFrame>([&](TfrmOrnateFrame* dialog) {
        EXPECT_EQ(dialog->FrameFile, file);
        EXPECT_EQ(dialog->tbFrameSize->value(), 30);
        dialog->tbFrameSize->setValue(12);
        dialog->SpTBXButton1->click();
    });
    window->SidePanel->btnEdit->click();
    TOrnateFrameMaker back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.GetFrameSize(), 12);
    EXPECT_TRUE(UserFrames().isEmpty());
    EXPECT_EQ(Thumbs()->Count(), 3);
}

TEST_F(FrameDesignCommandsTest, EditRefusesPictureFramesAndNeedsACurrentItem)
{
    Thumbs()->SetItemIndex(IndexOf(Plain(QStringLiteral("c.okx"))));
    QString text;
    QString title = QStringLiteral("unset");
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        title = box->windowTitle();
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        box->button(QMessageBox::Ok)->click();
    });
    window->SidePanel->btnEdit->click();
    EXPECT_EQ(text, QStringLiteral("The picture frame can not be edited."));
    EXPECT_TRUE(title.isEmpty());
    EXPECT_TRUE(window->findChildren<TfrmSimpleFrame*>().isEmpty());
    EXPECT_TRUE(window->findChildren<TfrmOrnateFrame*>().isEmpty());

    // With no current item nothing opens.
    StopModalDrivers();
    Thumbs()->SetItemIndex(-1);
    bool opened = false;
    WhenModal<QWidget>([&](QWidget* widget) {
        opened = true;
        widget->close();
    });
    window->SidePanel->btnEdit->click();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(window->findChildren<TfrmSimpleFrame*>().isEmpty());
    EXPECT_TRUE(window->findChildren<TfrmOrnateFrame*>().isEmpty());
}

TEST_F(FrameDesignCommandsTest, EditOfAVanishedFileReportsAndOpensNoDesigner)
{
    const QString file = Plain(QStringLiteral("a.okx"));
    Thumbs()->SetItemIndex(IndexOf(file));
    ASSERT_TRUE(QFile::remove(file));
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    window->SidePanel->btnEdit->click();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot open file"))) << message.toStdString();
    EXPECT_TRUE(window->findChildren<TfrmSimpleFrame*>().isEmpty());
}
