// The print dialog: its parts, the nine position buttons with and without
// "Auto fit", printing, the printer set-up confirmed and cancelled, and the
// dialog freeing itself when it closes.

#include "PrintPic.h"
#include "PrintPrevew.h"
#include "PrinterDevice.h"

#include "TestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// What the stand-in printer was asked and what it answers.
struct TPrinterLog
{
    bool HasPrinter = true;
    bool FailPrint = false;
    bool ConfirmSetup = true;
    int SetupShown = 0;
    TPrinterMetrics Metrics{800, 600, 50, 50};
    // What a confirmed set-up turns the printer into.
    TPrinterMetrics AfterSetup{600, 800, 50, 50};
    std::vector<QRect> Targets;
};

class TRecordingPrinter : public TPrinterDevice
{
public:
    explicit TRecordingPrinter(TPrinterLog& log) : Log(log) {}
    bool ReadMetrics(TPrinterMetrics& metrics) override
    {
        if (!Log.HasPrinter)
            return false;
        metrics = Log.Metrics;
        return true;
    }
    void PrintPicture(const QImage&, const QRect& target) override
    {
        if (Log.FailPrint)
            throw std::runtime_error("There is no printer");
        Log.Targets.push_back(target);
    }
    bool ShowSetupDialog(QWidget*) override
    {
        ++Log.SetupShown;
        if (Log.ConfirmSetup)
            Log.Metrics = Log.AfterSetup;
        return Log.ConfirmSetup;
    }
    TPrinterLog& Log;
};

class PrintPicTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Dialog = new TfrmPrintPic(std::make_unique<TRecordingPrinter>(Log), nullptr);
        Dialog->resize(800, 600);
        Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog));
        Preview = Dialog->PrintPrevew1;
        Preview->SetPicture(MakeSolid(400, 100, QColor(0, 0, 255)));
    }
    void TearDown() override { delete Dialog.data(); }

    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    TGPRect PictureRect() const { return Preview->PictureObject->GetRect(); }

    TPrinterLog Log;
    QPointer<TfrmPrintPic> Dialog;
    TPrintPrevew* Preview = nullptr;
};

} // namespace

TEST_F(PrintPicTest, HoldsItsPartsAsLaidOut)
{
    EXPECT_EQ(Dialog->windowTitle(), "Print Preview");
    EXPECT_TRUE(Dialog->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(Dialog->testAttribute(Qt::WA_DeleteOnClose));
    ASSERT_EQ(Dialog->TabControl->count(), 1);
    EXPECT_EQ(Dialog->TabControl->tabText(0), "Print");
    EXPECT_EQ(Dialog->TabControl->width(), 193);
    EXPECT_EQ(Dialog->SpTBXButton2->text(), "Print");
    EXPECT_EQ(Dialog->SpTBXButton1->text(), "Print Setup");
    EXPECT_FALSE(Dialog->SpTBXButton2->autoDefault());
    EXPECT_FALSE(Dialog->SpTBXButton1->autoDefault());
    EXPECT_EQ(Dialog->AlignGroup->title(), "Align");
    EXPECT_EQ(Dialog->SpTBXCheckBox1->text(), "Auto fit");
    EXPECT_FALSE(Dialog->SpTBXCheckBox1->isChecked());

    // The buttons stand where their positions lie on the sheet.
    const QToolButton* grid[3][3] = {
        {Dialog->SpTBXSpeedButton1, Dialog->SpTBXSpeedButton2, Dialog->SpTBXSpeedButton8},
        {Dialog->SpTBXSpeedButton3, Dialog->SpTBXSpeedButton7, Dialog->SpTBXSpeedButton4},
        {Dialog->SpTBXSpeedButton6, Dialog->SpTBXSpeedButton5, Dialog->SpTBXSpeedButton9},
    };
    const int tags[3][3] = {{0, 1, 2}, {7, 8, 3}, {6, 5, 4}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const QToolButton* button = grid[row][column];
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(TfrmPrintPic::Tag(button), tags[row][column]);
            if (column > 0)
                EXPECT_GT(button->x(), grid[row][column - 1]->x());
            if (row > 0)
                EXPECT_GT(button->y(), grid[row - 1][column]->y());
        }

    // The preview fills the rest of the window.
    EXPECT_EQ(Preview->GetBordSize(), 30);
    EXPECT_EQ(Preview->GetLineColor(), MakeColorRef(255, 0, 0));
    EXPECT_EQ(Preview->GetBKColor(), TColorRef(0xA4A0A0));
    EXPECT_GE(Preview->x(), Dialog->TabControl->geometry().right());
    EXPECT_EQ(Preview->width(), Dialog->width() - Dialog->TabControl->width());
}

TEST_F(PrintPicTest, PositionButtonsMoveWithoutAutoFitAndFitWithIt)
{
    const TGPRect p = Preview->PrintableRect;
    Preview->PictureObject->SetRect(TGPRect{5, 5, 40, 10});

    Click(Dialog->SpTBXSpeedButton9);
    EXPECT_EQ(PictureRect(), (TGPRect{p.X + p.Width - 40, p.Y + p.Height - 10, 40, 10}));
    Click(Dialog->SpTBXSpeedButton1);
    EXPECT_EQ(PictureRect(), (TGPRect{p.X, p.Y, 40, 10}));
    Click(Dialog->SpTBXSpeedButton7);
    EXPECT_EQ(PictureRect(),
              (TGPRect{p.X + (p.Width - 40) / 2, p.Y + (p.Height - 10) / 2, 40, 10}));

    // With "Auto fit" the wide picture fills the printable width first.
    Dialog->SpTBXCheckBox1->setChecked(true);
    Click(Dialog->SpTBXSpeedButton9);
    const TGPRect r = PictureRect();
    EXPECT_NEAR(r.Width, p.Width, 1);
    EXPECT_NEAR(r.Height * 4, r.Width, 4);
    EXPECT_EQ(r.X + r.Width, p.X + p.Width);
    EXPECT_EQ(r.Y + r.Height, p.Y + p.Height);
}

TEST_F(PrintPicTest, PrintPrintsAndAMissingPrinterShowsNothing)
{
    Click(Dialog->SpTBXSpeedButton1);
    Click(Dialog->SpTBXButton2);
    ASSERT_EQ(Log.Targets.size(), 1u);
    EXPECT_EQ(Log.Targets[0].topLeft(), QPoint(0, 0));

    Log.HasPrinter = false;
    Log.FailPrint = true;
    Preview->repaint();
    Click(Dialog->SpTBXButton2);
    EXPECT_EQ(Log.Targets.size(), 1u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(Dialog->isVisible());
}

TEST_F(PrintPicTest, ConfirmedSetupLaysTheSheetOutAnewAndKeepsThePicture)
{
    Preview->repaint();
    const TGPRect landscape = Preview->PrintableRect;
    const TGPRect before = PictureRect();

    Click(Dialog->SpTBXButton1);
    EXPECT_EQ(Log.SetupShown, 1);
    Preview->repaint();
    const TGPRect portrait = Preview->PrintableRect;
    EXPECT_LT(portrait.Width, landscape.Width);
    EXPECT_GT(portrait.Height, portrait.Width);
    EXPECT_EQ(PictureRect(), before);

    // A position button puts it back into the new printable area.
    Click(Dialog->SpTBXSpeedButton1);
    EXPECT_EQ(PictureRect().X, portrait.X);
    EXPECT_EQ(PictureRect().Y, portrait.Y);
}

TEST_F(PrintPicTest, CancelledSetupChangesNothing)
{
    Preview->repaint();
    const TGPRect printable = Preview->PrintableRect;
    const TGPRect before = PictureRect();
    Log.ConfirmSetup = false;
    Click(Dialog->SpTBXButton1);
    EXPECT_EQ(Log.SetupShown, 1);
    Preview->repaint();
    EXPECT_EQ(Preview->PrintableRect, printable);
    EXPECT_EQ(PictureRect(), before);
}

TEST_F(PrintPicTest, ClosingFreesTheDialog)
{
    Dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Dialog.isNull());
}
