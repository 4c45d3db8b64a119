// The PNG export: the size dialog's start values, ranges and typing, the
// output name's "..." button, and the Frame tab's "Save" command end to end.

#include "FrameMaker.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "MyGdiPlus.h"
#include "PicThumb.h"
#include "SavePNGDialog.h"
#include "SidePanel.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

void WriteSimpleFrame(const QString& fileName)
{
    TSimapleFrameMaker maker;
    maker.SetFrameWidth(30);
    maker.SetFrameHeight(30);
    maker.SaveToFile(fileName);
}

// Replaces the edit's text by typing, the way a user does.
void TypeInto(QSpinBox* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

TEST(SavePNGDialogTest, StartValuesAndLayout)
{
    TfrmSavePNG dialog(QStringLiteral("/prog/"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save to PNG"));
    EXPECT_EQ(dialog.size(), QSize(434, 215));
    EXPECT_EQ(dialog.edtW->value(), 500);
    EXPECT_EQ(dialog.edtW->minimum(), 0);
    EXPECT_EQ(dialog.edtW->maximum(), 50000);
    EXPECT_EQ(dialog.edtH->value(), 400);
    EXPECT_EQ(dialog.edtH->minimum(), 1);
    EXPECT_EQ(dialog.edtH->maximum(), 50000);
    EXPECT_EQ(dialog.edtOutputFileName->text(), QStringLiteral("/prog/PNG/PngFrame.png"));
    EXPECT_EQ(dialog.SpTBXButton1->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.SpTBXButton2->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.lblW->text(), QStringLiteral("Frame Width"));
    EXPECT_EQ(dialog.lblH->text(), QStringLiteral("Frame Height"));
    EXPECT_EQ(dialog.lblOutputFileName->text(), QStringLiteral("Output filename"));
}

TEST(SavePNGDialogTest, TypedSizesCountAtOnceWithinTheRange)
{
    TfrmSavePNG dialog(QStringLiteral("/prog/"));
    dialog.show();
    TypeInto(dialog.edtW, QStringLiteral("60000"));
    EXPECT_EQ(dialog.FrameWidth(), 6000);
    TypeInto(dialog.edtH, QStringLiteral("321"));
    EXPECT_EQ(dialog.FrameHeight(), 321);
    QTest::keyClick(dialog.edtH, Qt::Key_Up);
    EXPECT_EQ(dialog.FrameHeight(), 322);

    // An emptied edit is no whole number: reported, the value stays.
    QString text;
    AnswerMessageBox(QMessageBox::Ok, &text);
    dialog.edtW->setFocus();
    dialog.edtW->selectAll();
    QTest::keyClick(dialog.edtW, Qt::Key_Backspace);
    EXPECT_EQ(text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(dialog.FrameWidth(), 6000);
    StopModalDrivers();
}

TEST(SavePNGDialogTest, TheDotsButtonTakesTheChosenName)
{
    TTempDir dir;
    TfrmSavePNG dialog(dir.path() + QLatin1Char('/'));
    dialog.show();
    const QString chosen = dir.file(QStringLiteral("mine.png"));
    AnswerFileDialog(chosen);
    QTest::mouseClick(dialog.edtOutputFileNameSubEditButton0, Qt::LeftButton);
    EXPECT_EQ(dialog.OutputFileName(), chosen);
    WhenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QTest::mouseClick(dialog.edtOutputFileNameSubEditButton0, Qt::LeftButton);
    EXPECT_EQ(dialog.OutputFileName(), chosen);
}

class SaveFramePngTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
        QDir().mkpath(folder.path() + QStringLiteral("/Frame/Plain"));
        QDir().mkpath(folder.path() + QStringLiteral("/PNG"));
        WriteSimpleFrame(folder.path() + QStringLiteral("/Frame/Plain/a.okx"));
        const QString path = folder.path() + QLatin1Char('/');
        window = std::make_unique<TfrmMain>(TDesktopServices(), [path] { return path; });
        window->FormShow();
        thumb = window->SidePanel->thuFrame;
        ASSERT_EQ(thumb->FileList().size(), 1);
    }
    void TearDown() override
    {
        StopModalDrivers();
        window.reset();
    }

    // Clicks "Save"; the dialog, if one comes, gets Answer.
    bool Save(const std::function<void(TfrmSavePNG*)>& answer)
    {
        bool shown = false;
        WhenModal<TfrmSavePNG>([&](TfrmSavePNG* dialog) {
            shown = true;
            answer(dialog);
        });
        QTest::mouseClick(window->SidePanel->btnSaveFrame, Qt::LeftButton);
        StopModalDrivers();
        return shown;
    }

    QString Output() const { return folder.path() + QStringLiteral("/PNG/PngFrame.png"); }

    TScopedSettings settings;
    TTempDir folder;
    std::unique_ptr<TfrmMain> window;
    TPicThumb* thumb = nullptr;
};

TEST_F(SaveFramePngTest, NoSelectionOpensNoDialog)
{
    thumb->SetItemIndex(-1);
    EXPECT_FALSE(Save([](TfrmSavePNG* d) { d->reject(); }));
}

TEST_F(SaveFramePngTest, OkWritesTheStartSizeAndOverwritesCancelWritesNothing)
{
    thumb->SetItemIndex(0);
    EXPECT_TRUE(Save([](TfrmSavePNG* d) { QTest::mouseClick(d->SpTBXButton2, Qt::LeftButton); }));
    EXPECT_FALSE(QFile::exists(Output()));

    EXPECT_TRUE(Save([](TfrmSavePNG* d) { QTest::mouseClick(d->SpTBXButton1, Qt::LeftButton); }));
    QImage png = DecodeImageFile(Output());
    ASSERT_EQ(png.size(), QSize(500, 400));
    EXPECT_EQ(AlphaAt(png, 250, 200), 0);

    // A new dialog starts from the start values again; a typed height counts
    // without Enter.
    EXPECT_TRUE(Save([](TfrmSavePNG* d) {
        EXPECT_EQ(d->FrameWidth(), 500);
        TypeInto(d->edtH, QStringLiteral("250"));
        QTest::mouseClick(d->SpTBXButton1, Qt::LeftButton);
    }));
    EXPECT_EQ(DecodeImageFile(Output()).size(), QSize(500, 250));
}

TEST_F(SaveFramePngTest, AFileOfNoKnownKindIsReported)
{
    QFile file(thumb->FileList().at(0));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(5);
    file.write("\x09", 1);
    file.close();
    thumb->SetItemIndex(0);
    QString text;
    EXPECT_TRUE(Save([&text](TfrmSavePNG* d) {
        AnswerMessageBox(QMessageBox::Ok, &text);
        QTest::mouseClick(d->SpTBXButton1, Qt::LeftButton);
    }));
    EXPECT_TRUE(text.contains(QStringLiteral("not a frame file of a known kind")));
    EXPECT_FALSE(QFile::exists(Output()));
}
