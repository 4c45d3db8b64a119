// The tip of the day: its texts, stepping through them, and the stored
// setting read at start-up and written on every close.

#include "ModalDriver.h"
#include "TestSupport.h"
#include "TipForm.h"
#include "TipSetting.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

namespace {
class TipFormTest : public ::testing::Test
{
protected:
    void TearDown() override { StopModalDrivers(); }

    // Writes the settings file as text before the program reads it.
    void WriteIni(const QByteArray& text)
    {
        const QString file = settings.iniFile(QStringLiteral("Brimlow"));
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray ReadIni() const
    {
        QFile f(settings.iniFile(QStringLiteral("Brimlow")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TScopedSettings settings;
};

struct TShown
{
    bool shown = false;
    bool checked = false;
    QString message;
};

// Records what the next tip dialog shows, sets its box and closes it with
// "&OK" or the title bar.
void CloseNextTips(TShown* seen, bool check, bool byOk = true)
{
    WhenModal<TfrmTips>([=](TfrmTips* dialog) {
        seen->shown = true;
        seen->checked = dialog->CheckBox1->isChecked();
        seen->message = dialog->lblMessage->text();
        dialog->CheckBox1->setChecked(check);
        if (byOk)
            QTest::mouseClick(dialog->Button2, Qt::LeftButton);
        else
            dialog->close();
    });
}
} // namespace

TEST(TipTexts, AreTheFixedQuestionAndAnswerLines)
{
    EXPECT_EQ(TfrmTips::TipTexts[0],
              QStringLiteral("How to send your photo which had been framed to your frields?\n\r"
                             " Click the \"Email\" button and input your firelds email address "
                             "your photo will be send to your frield immediately."));
    EXPECT_EQ(TfrmTips::TipTexts[1],
              QStringLiteral("How to make your photo to wallpaper?\n\r Just click the "
                             "\"wallpaper button.\""));
    EXPECT_EQ(TfrmTips::TipTexts[2],
              QStringLiteral("How to rotate your photo?\n\r Click your photo and click the menu "
                             "rotate 90 right or rotate 90 left."));
}

TEST_F(TipFormTest, SettingReadsMissingOrUnreadableAsShow)
{
    EXPECT_TRUE(ReadTipsSetting());
    WriteIni("[General]\nTips=0\n");
    EXPECT_FALSE(ReadTipsSetting());
}

TEST_F(TipFormTest, ReadingCreatesTheMissingSettingsEntryButNoValue)
{
    const QString file = settings.iniFile(QStringLiteral("Brimlow"));
    ASSERT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(ReadTipsSetting());
    EXPECT_TRUE(QFileInfo(file).isFile());
    EXPECT_FALSE(ReadIni().contains("Tips"));
    EXPECT_TRUE(ReadTipsSetting());
}

TEST_F(TipFormTest, SettingTakesTextThatIsNoIntegerAsShow)
{
    WriteIni("[General]\nTips=never\n");
    EXPECT_TRUE(ReadTipsSetting());
}

TEST_F(TipFormTest, SettingTakesAnyNonZeroIntegerAsShow)
{
    WriteIni("[General]\nTips=7\n");
    EXPECT_TRUE(ReadTipsSetting());
}

TEST_F(TipFormTest, StartupShowsNothingWhenTheSettingIsOff)
{
    WriteIni("[General]\nTips=0\n");
    TShown seen;
    CloseNextTips(&seen, false);
    ShowTipsAtStartup();
    EXPECT_FALSE(seen.shown);
    // Let the waiting driver run out harmlessly: nothing else is shown.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(TipFormTest, StartupWithoutSettingShowsFirstTipCheckedAndStoresTheBox)
{
    TShown seen;
    CloseNextTips(&seen, false);
    ShowTipsAtStartup();
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.checked);
    EXPECT_EQ(seen.message, TfrmTips::TipTexts[0]);
    EXPECT_TRUE(ReadIni().contains("Tips=0"));
    EXPECT_FALSE(ReadTipsSetting());
}

TEST_F(TipFormTest, MenuShowsTheDialogWithTheBoxOffAndCloseBoxStoresIt)
{
    WriteIni("[General]\nTips=0\n");
    TShown seen;
    CloseNextTips(&seen, true, false);
    ShowTips();
    ASSERT_TRUE(seen.shown);
    EXPECT_FALSE(seen.checked);
    EXPECT_TRUE(ReadIni().contains("Tips=1"));
    EXPECT_TRUE(ReadTipsSetting());
}

TEST_F(TipFormTest, TextSettingIsReplacedByAnIntegerOnClose)
{
    WriteIni("[General]\nTips=maybe\n");
    TShown seen;
    CloseNextTips(&seen, false);
    ShowTips();
    EXPECT_TRUE(seen.checked);
    EXPECT_TRUE(ReadIni().contains("Tips=0"));
}

TEST_F(TipFormTest, EveryShowingStartsWithTheFirstTip)
{
    WriteIni("[General]\nTips=1\n");
    for (int round = 0; round < 2; ++round) {
        TShown seen;
        WhenModal<TfrmTips>([&seen](TfrmTips* dialog) {
            seen.message = dialog->lblMessage->text();
            seen.shown = dialog->TipIndex == 0;
            QTest::mouseClick(dialog->Button1, Qt::LeftButton);
            dialog->Button2Click();
        });
        ShowTips();
        EXPECT_TRUE(seen.shown) << round;
        EXPECT_EQ(seen.message, TfrmTips::TipTexts[0]) << round;
    }
}

TEST_F(TipFormTest, NextTipCyclesThroughTheThreeTips)
{
    TfrmTips dialog;
    dialog.CheckBox1->setChecked(true);
    dialog.show();
    EXPECT_EQ(dialog.TipIndex, 0);
    const int expected[] = {1, 2, 0, 1};
    for (int index : expected) {
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        EXPECT_EQ(dialog.TipIndex, index);
        EXPECT_EQ(dialog.lblMessage->text(), TfrmTips::TipTexts[size_t(index)]);
    }
    dialog.close();
    EXPECT_TRUE(ReadTipsSetting());
}

TEST_F(TipFormTest, LayoutAndButtonsAreAsDescribed)
{
    TfrmTips dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tip of days"));
    EXPECT_EQ(dialog.size(), QSize(379, 251));
    EXPECT_EQ(dialog.Panel1->geometry(), QRect(9, 9, 361, 193));
    EXPECT_EQ(dialog.Image1->size(), QSize(17, 16));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Do you know..."));
    EXPECT_TRUE(dialog.Label1->font().bold());
    EXPECT_EQ(dialog.lblMessage->size(), QSize(257, 129));
    EXPECT_TRUE(dialog.lblMessage->wordWrap());
    EXPECT_EQ(dialog.CheckBox1->text(), QStringLiteral("Show tips on star"));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("&Next Tip"));
    EXPECT_EQ(dialog.Button2->text(), QStringLiteral("&OK"));
    EXPECT_TRUE(dialog.Button2->isDefault());
    EXPECT_FALSE(dialog.Button1->isDefault());
}

TEST_F(TipFormTest, AtStartUpTheTipTakesTheKeyboardAndReturnClosesIt)
{
    bool okFocused = false;
    bool closedByReturn = false;
    WhenModal<TfrmTips>([&](TfrmTips* dialog) {
        okFocused =
            QTest::qWaitForWindowActive(dialog) && QApplication::focusWidget() == dialog->Button2;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        closedByReturn = !dialog->isVisible();
        if (!closedByReturn)
            dialog->reject();
    });
    ShowTipsAtStartup();
    EXPECT_TRUE(okFocused);
    EXPECT_TRUE(closedByReturn);
}

TEST_F(TipFormTest, FailedWriteIsReportedAndTheDialogStillCloses)
{
    // A plain file where the settings folder belongs: nothing can be written.
    const QString folder = QFileInfo(settings.iniFile(QStringLiteral("Brimlow"))).path();
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QString message;
    WhenModal<TfrmTips>([&message](TfrmTips* dialog) {
        AnswerMessageBox(QMessageBox::Ok, &message);
        dialog->Button2Click();
    });
    ShowTips();
    EXPECT_EQ(message, QStringLiteral("Failed to set data for 'Tips'"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
