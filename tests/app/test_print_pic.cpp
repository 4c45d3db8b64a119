// The print dialog: its parts, the nine position buttons with and without
// "Auto fit", printing, the printer set-up confirmed and cancelled, and the
// dialog freeing itself when it closes; on the desktop printer, the picture
// inside the printable area of the sheet shown and printed inside the paper's
// margins, and the set-up without a printer.

#include "DesktopServices.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "PrintPic.h"
#include "PrintPrevew.h"
#include "PrinterDevice.h"
#include "QynKadrix.h"
#include "SystemPrinter.h"

#include "TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTransform>
#include <QtEndian>

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
    bool HasPrinter() const override { return Log.HasPrinter; }
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
            if (column > 0) {
                EXPECT_GT(button->x(), grid[row][column - 1]->x());
            }
            if (row > 0) {
                EXPECT_GT(button->y(), grid[row - 1][column]->y());
            }
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

// ---------------------------------------------------------------------------
// The main window's Print command

class PrintCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
        QImage frame = MakeSolid(400, 300, QColor(150, 30, 30));
        for (int y = 60; y < 240; ++y)
            for (int x = 60; x < 340; ++x)
                frame.setPixel(x, y, qRgba(0, 0, 0, 0));
        ASSERT_TRUE(frame.save(folder.file("Default.png")));
        ASSERT_TRUE(MakeGradient(800, 600).save(folder.file("Default.jpg"), "JPG"));

        const QString path = folder.path() + QLatin1Char('/');
        window = std::make_unique<TfrmMain>(TDesktopServices::System(), [path] { return path; });
        window->ShowMaximised();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->QynKadrix1->Photo->Loaded; }));
    }
    void TearDown() override
    {
        StopModalDrivers();
        window.reset();
    }

    // Runs Action and, inside the dialog it opens, notes what the dialog
    // holds, then closes it.
    void RunAndClose(QAction* action)
    {
        seen = nullptr;
        pictureSize = QSize();
        WhenModal<TfrmPrintPic>([this](TfrmPrintPic* dialog) {
            seen = dialog;
            global = frmPrintPic.data();
            const QImage* bitmap = dialog->PrintPrevew1->PictureObject->GetBitmap();
            if (bitmap)
                pictureSize = bitmap->size();
            owner = dialog->parentWidget();
            pictureRect = dialog->PrintPrevew1->PictureObject->GetRect();
            printableRect = dialog->PrintPrevew1->PrintableRect;
            dialog->close();
        });
        action->trigger();
    }

    TScopedSettings settings;
    TTempDir folder;
    std::unique_ptr<TfrmMain> window;
    TfrmPrintPic* seen = nullptr;
    TfrmPrintPic* global = nullptr;
    QWidget* owner = nullptr;
    QSize pictureSize;
    TGPRect pictureRect;
    TGPRect printableRect;
};

// The shown picture lies on the printable part of the sheet, touching it on
// two opposite sides.
void ExpectFittedIn(const TGPRect& picture, const TGPRect& printable)
{
    ASSERT_GT(picture.Width, 0);
    ASSERT_GT(picture.Height, 0);
    EXPECT_GE(picture.X, printable.X);
    EXPECT_GE(picture.Y, printable.Y);
    EXPECT_LE(picture.X + picture.Width, printable.X + printable.Width);
    EXPECT_LE(picture.Y + picture.Height, printable.Y + printable.Height);
    EXPECT_TRUE(picture.Width == printable.Width || picture.Height == printable.Height);
}

TEST_F(PrintCommandTest, MenuAndToolBarOpenANewDialogWithTheComposedPicture)
{
    // The composition at the photo's own resolution.
    const QSize composed = window->QynKadrix1->ComposeBitmap(-1).size();
    ASSERT_FALSE(composed.isEmpty());

    RunAndClose(window->mPrint);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(global, seen);
    EXPECT_EQ(owner, window.get());
    EXPECT_EQ(pictureSize, composed);
    // Handed over before the dialog was shown, the picture is still fitted
    // into the sheet the user sees.
    ExpectFittedIn(pictureRect, printableRect);
    // Closed, it has freed itself.
    EXPECT_TRUE(frmPrintPic.isNull());

    RunAndClose(window->btnPrintPreview);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(pictureSize, composed);
    EXPECT_TRUE(frmPrintPic.isNull());
}

// ---------------------------------------------------------------------------
// The dialog as the Print command opens it, on the desktop printer: the
// picture handed over first, then the dialog shown maximized.

namespace {

// A4 with margins of 10 points, written to File.
std::unique_ptr<QPrinter> PdfPrinter(const QString& file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 10, 10, 10), QPageLayout::Point));
    return printer;
}

// The boxes into which the pages of a PDF file draw images, in points from
// the page's bottom-left corner: each image fills the unit square of the
// transformation in force where it is drawn.
std::vector<QRectF> DrawnImageBoxes(const QByteArray& pdf)
{
    std::vector<QRectF> boxes;
    for (qsizetype at = pdf.indexOf("/FlateDecode"); at >= 0;
         at = pdf.indexOf("/FlateDecode", at + 1)) {
        // Only the pages' content, not the pictures' own data.
        const qsizetype object = pdf.lastIndexOf(" obj", at);
        if (pdf.mid(object, at - object).contains("/Image"))
            continue;
        qsizetype begin = pdf.indexOf("stream", at) + 6;
        while (begin < pdf.size() && (pdf[begin] == '\r' || pdf[begin] == '\n'))
            ++begin;
        QByteArray zipped(4, '\0');
        qToBigEndian<quint32>(1u << 20, zipped.data());
        zipped += pdf.mid(begin, pdf.indexOf("endstream", begin) - begin);
        QTransform ctm;
        std::vector<QTransform> saved;
        std::vector<double> operands;
        for (const QByteArray& token : qUncompress(zipped).simplified().split(' ')) {
            bool number = false;
            const double value = token.toDouble(&number);
            if (number) {
                operands.push_back(value);
                continue;
            }
            if (token == "q") {
                saved.push_back(ctm);
            } else if (token == "Q" && !saved.empty()) {
                ctm = saved.back();
                saved.pop_back();
            } else if (token == "cm" && operands.size() >= 6) {
                const double* m = operands.data() + operands.size() - 6;
                ctm = QTransform(m[0], m[1], m[2], m[3], m[4], m[5]) * ctm;
            } else if (token == "Do") {
                boxes.push_back(ctm.mapRect(QRectF(0, 0, 1, 1)));
            }
            if (!token.startsWith('/'))
                operands.clear();
        }
    }
    return boxes;
}

class PrintDialogShownTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        StopModalDrivers();
        delete Dialog.data();
    }

    // The Print command's order: the picture first, then the dialog shown.
    void Open(std::unique_ptr<QPrinter> printer)
    {
        Dialog = new TfrmPrintPic(std::make_unique<TSystemPrinter>(std::move(printer)), nullptr);
        Preview = Dialog->PrintPrevew1;
        Preview->SetPicture(MakeGradient(2000, 1500));
        Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog));
        ASSERT_TRUE(Dialog->windowState() & Qt::WindowMaximized);
    }
    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // The window system takes the title bar's height off the maximized
    // window once it is shown.
    void TitleBarTakesItsPlace()
    {
        const int height = Dialog->height() - 24;
        Dialog->resize(Dialog->width(), height);
        ASSERT_TRUE(QTest::qWaitFor([this, height] { return Dialog->height() == height; }));
        Preview->repaint();
    }
    void ExpectPictureInsideThePrintableArea()
    {
        SCOPED_TRACE(testing::Message()
                     << "preview " << Preview->width() << " x " << Preview->height());
        ExpectFittedIn(Preview->PictureObject->GetRect(), Preview->PrintableRect);
    }

    TTempDir folder;
    QPointer<TfrmPrintPic> Dialog;
    TPrintPrevew* Preview = nullptr;
};

} // namespace

TEST_F(PrintDialogShownTest, WithoutAPrinterThePictureLiesInsideTheGuideLines)
{
    Open(std::make_unique<QPrinter>(QPrinterInfo(), QPrinter::HighResolution));
    ExpectPictureInsideThePrintableArea();
    TitleBarTakesItsPlace();
    ExpectPictureInsideThePrintableArea();

    // Once the user has placed the picture it keeps its place.
    Dialog->SpTBXSpeedButton1->click();
    const TGPRect placed = Preview->PictureObject->GetRect();
    Dialog->resize(Dialog->width() - 40, Dialog->height());
    ASSERT_TRUE(QTest::qWaitFor([this, placed] { return Preview->PrintableRect.X != placed.X; }));
    EXPECT_EQ(Preview->PictureObject->GetRect(), placed);
}

TEST_F(PrintDialogShownTest, PrintAtOncePrintsInsideThePaperMargins)
{
    const QString file = folder.file("page.pdf");
    Open(PdfPrinter(file));
    TitleBarTakesItsPlace();
    ExpectPictureInsideThePrintableArea();

    Click(Dialog->SpTBXButton2);
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const std::vector<QRectF> boxes = DrawnImageBoxes(pdf.readAll());
    ASSERT_EQ(boxes.size(), 1u);
    // A4 is 595 x 842 points; the printable area lies 10 points inside.
    const QRectF printable(10, 10, 575, 822);
    const QRectF& box = boxes[0];
    EXPECT_GE(box.left(), printable.left() - 0.01);
    EXPECT_GE(box.top(), printable.top() - 0.01);
    EXPECT_LE(box.right(), printable.right() + 0.01);
    EXPECT_LE(box.bottom(), printable.bottom() + 0.01);
    // Fitted, it spans the printable width.
    EXPECT_GT(box.width(), printable.width() - 3);
}

TEST_F(PrintDialogShownTest, SetupWithoutAPrinterSaysNoneIsInstalled)
{
    Open(std::make_unique<QPrinter>(QPrinterInfo(), QPrinter::HighResolution));
    QString text;
    AnswerMessageBox(QMessageBox::Ok, &text);
    Click(Dialog->SpTBXButton1);
    EXPECT_EQ(text, "No printer is installed, so there is no printer set-up to change.");
    EXPECT_TRUE(Dialog->isVisible());
}
