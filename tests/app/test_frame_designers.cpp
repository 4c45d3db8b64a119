// The simple and ornate frame designers: start values, the numeric edits
// and their track bars, loading with clamping, storing new and edited
// frame files, the colour and picture choices and the live previews.

#include "ColorSwatch.h"
#include "DigitKeyFilter.h"
#include "FrameMaker.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "NewFrameFile.h"
#include "OpenPictureDialog.h"
#include "OrnateFrame.h"
#include "PaintBox.h"
#include "PictureFrame.h"
#include "SimpleFrame.h"
#include "TestSupport.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QRgb kSky = qRgb(166, 202, 240);
const QRgb kWhite = qRgb(255, 255, 255);

// Answers the next colour dialog with Color, or cancels it when invalid; the
// colour the dialog opened with goes to Initial.
void AnswerColorDialog(const QColor& color, QColor* initial = nullptr)
{
    WhenModal<QColorDialog>([=](QColorDialog* dialog) {
        if (initial)
            *initial = dialog->currentColor();
        if (!color.isValid()) {
            dialog->reject();
            return;
        }
        dialog->setCurrentColor(color);
        dialog->accept();
    });
}

class DesignerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Frame/User")));
        ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("bkpic")));
    }
    void TearDown() override { StopModalDrivers(); }

    TProgramFolderFunc Folder() const
    {
        const QString path = folder.path() + QLatin1Char('/');
        return [path] { return path; };
    }
    QStringList UserFrames() const
    {
        return QDir(folder.file(QStringLiteral("Frame/User")))
            .entryList({QStringLiteral("*.okx")}, QDir::Files, QDir::Name);
    }
    QString Picture(const QString& name, const QImage& image) const
    {
        const QString path = folder.file(QStringLiteral("bkpic/") + name);
        EXPECT_TRUE(image.save(path));
        return path;
    }

    TTempDir folder;
};

// --- Simple designer -------------------------------------------------------------

TEST_F(DesignerTest, NewSimpleDesignShowsTheStartValues)
{
    TfrmSimpleFrame dialog(Folder());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Simple Frame"));
    EXPECT_EQ(dialog.size(), QSize(645, 452));
    EXPECT_EQ(dialog.tbOutEdge->value(), 1);
    EXPECT_EQ(dialog.edtOutEdge->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.tbInnerEdge->value(), 1);
    EXPECT_EQ(dialog.tbFrameWidth->value(), 20);
    EXPECT_EQ(dialog.edtFrameHeight->text(), QStringLiteral("20"));
    EXPECT_EQ(dialog.tbOutEdge->minimum(), 0);
    EXPECT_EQ(dialog.tbInnerEdge->maximum(), 10);
    EXPECT_EQ(dialog.tbFrameWidth->minimum(), 5);
    EXPECT_EQ(dialog.tbFrameHeight->maximum(), 80);
    EXPECT_EQ(dialog.tbFrameWidth->pageStep(), 1);
    EXPECT_TRUE(dialog.rbBkTypeColor->isChecked());
    EXPECT_TRUE(dialog.btnCircle->isChecked());
    EXPECT_FALSE(dialog.SpTBXButton1->autoDefault());
    EXPECT_TRUE(dialog.FrameFile.isEmpty());
    EXPECT_TRUE(dialog.BackPicture.isNull());

    const TSimpleFrameDesign d = dialog.Design();
    EXPECT_EQ(d.OutEdgeColor, MakeColorRef(255, 255, 255));
    EXPECT_EQ(d.InnerEdgeColor, MakeColorRef(255, 255, 255));
    EXPECT_EQ(d.BackColor, MakeColorRef(166, 202, 240));
    EXPECT_EQ(d.Shape, TSimapleFrameMaker::shEllipse);

    // White edges of one pixel, sky-blue bands of 20, an elliptical opening
    // whose corners stay white on the white box.
    const QImage preview = dialog.PreviewImage();
    ASSERT_EQ(preview.size(), QSize(161, 153));
    EXPECT_EQ(PixelAt(preview, 0, 76), kWhite);
    EXPECT_EQ(PixelAt(preview, 10, 76), kSky);
    EXPECT_EQ(PixelAt(preview, 80, 10), kSky);
    EXPECT_EQ(PixelAt(preview, 80, 76), kWhite);
    EXPECT_EQ(PixelAt(preview, 22, 22), kSky) << "the ellipse leaves the band's corners filled";
}

TEST_F(DesignerTest, NumericEditsFollowTheTrackBarRule)
{
    TfrmSimpleFrame dialog(Folder());
    // A blank edge edit becomes "0" and the edge width 0.
    dialog.edtOutEdge->clear();
    EXPECT_EQ(dialog.edtOutEdge->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog.tbOutEdge->value(), 0);
    // A blank band edit: "0", the track bar clamps to 5 and writes it back.
    dialog.edtFrameWidth->clear();
    EXPECT_EQ(dialog.tbFrameWidth->value(), 5);
    EXPECT_EQ(dialog.edtFrameWidth->text(), QStringLiteral("5"));
    // A digit below 5 with the bar already at 5 changes nothing: the text stays.
    dialog.edtFrameWidth->setText(QStringLiteral("3"));
    EXPECT_EQ(dialog.tbFrameWidth->value(), 5);
    EXPECT_EQ(dialog.edtFrameWidth->text(), QStringLiteral("3"));
    // Above the range the bar clamps and the edit shows the clamped value.
    dialog.edtFrameHeight->setText(QStringLiteral("95"));
    EXPECT_EQ(dialog.tbFrameHeight->value(), 80);
    EXPECT_EQ(dialog.edtFrameHeight->text(), QStringLiteral("80"));
    // Moving a track bar writes its position into the edit.
    dialog.tbInnerEdge->setValue(7);
    EXPECT_EQ(dialog.edtInnerEdge->text(), QStringLiteral("7"));
    EXPECT_EQ(dialog.Design().InnerEdge, 7);
}

TEST_F(DesignerTest, EditsKeepOnlyTypedDigits)
{
    TfrmSimpleFrame dialog(Folder());
    dialog.show();
    dialog.edtInnerEdge->setFocus();
    dialog.edtInnerEdge->selectAll();
    QTest::keyClicks(dialog.edtInnerEdge, QStringLiteral("a-4 x"));
    EXPECT_EQ(dialog.edtInnerEdge->text(), QStringLiteral("4"));
    EXPECT_EQ(dialog.tbInnerEdge->value(), 4);
    QTest::keyClick(dialog.edtInnerEdge, Qt::Key_Backspace);
    EXPECT_EQ(dialog.edtInnerEdge->text(), QStringLiteral("0"));

    EXPECT_TRUE(TDigitKeyFilter::Discards(QStringLiteral("+")));
    EXPECT_TRUE(TDigitKeyFilter::Discards(QString(QChar(0x0663)))); // Arabic-Indic three
    EXPECT_FALSE(TDigitKeyFilter::Discards(QStringLiteral("9")));
    EXPECT_FALSE(TDigitKeyFilter::Discards(QStringLiteral("\b")));
    EXPECT_FALSE(TDigitKeyFilter::Discards(QStringLiteral("\r")));
}

TEST_F(DesignerTest, PastedTextThatIsNoNumberIsReportedAndKeepsThePosition)
{
    TfrmSimpleFrame dialog(Folder());
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    dialog.edtFrameWidth->setText(QStringLiteral("12ab"));
    EXPECT_EQ(message, QStringLiteral("'12ab' is not a valid integer value"));
    EXPECT_EQ(dialog.tbFrameWidth->value(), 20);
}

TEST_F(DesignerTest, LoadingClampsToTheRangesAndOkStoresTheClampedValues)
{
    const QString file = folder.file(QStringLiteral("wide.okx"));
    {
        TSimapleFrameMaker maker;
        maker.SetOutEdge(15);
        maker.SetOutEdgeColor(MakeColorRef(10, 20, 30));
        maker.SetInnerEdge(3);
        maker.SetInnerEdgeColor(MakeColorRef(40, 50, 60));
        maker.SetFrameWidth(100);
        maker.SetFrameHeight(33);
        maker.SetBackColor(MakeColorRef(70, 80, 90));
        maker.SetShape(TSimapleFrameMaker::shDiamond);
        maker.SaveToFile(file);
    }
    TfrmSimpleFrame dialog(Folder());
    dialog.LoadFrame(file);
    EXPECT_EQ(dialog.FrameFile, file);
    EXPECT_EQ(dialog.tbOutEdge->value(), 10);
    EXPECT_EQ(dialog.edtOutEdge->text(), QStringLiteral("10"));
    EXPECT_EQ(dialog.tbFrameWidth->value(), 80);
    EXPECT_EQ(dialog.edtFrameWidth->text(), QStringLiteral("80"));
    EXPECT_EQ(dialog.tbFrameHeight->value(), 33);
    EXPECT_EQ(dialog.shpOutEdge->Color(), QColor(10, 20, 30));
    EXPECT_EQ(dialog.shpInnerEdge->Color(), QColor(40, 50, 60));
    EXPECT_EQ(dialog.shpBackColor->Color(), QColor(70, 80, 90));
    EXPECT_TRUE(dialog.rbBkTypeColor->isChecked());
    EXPECT_TRUE(dialog.btnDiamond->isChecked());

    // "OK" after loading rewrites the loaded file in place.
    dialog.SpTBXButton1->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(UserFrames().isEmpty());
    TSimapleFrameMaker back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.GetOutEdge(), 10);
    EXPECT_EQ(back.GetFrameWidth(), 80);
    EXPECT_EQ(back.GetFrameHeight(), 33);
    EXPECT_EQ(back.GetInnerEdge(), 3);
    EXPECT_EQ(back.GetBackColor(), MakeColorRef(70, 80, 90));
    EXPECT_EQ(back.GetShape(), TSimapleFrameMaker::shDiamond);
    EXPECT_FALSE(back.GetUseTexture());
}

TEST_F(DesignerTest, LoadingATexturedFileChecksPictureAndAnUnknownShapeKeepsTheButtons)
{
    const QString file = folder.file(QStringLiteral("tex.okx"));
    {
        TSimapleFrameMaker maker;
        maker.SetFrameWidth(20);
        maker.SetFrameHeight(20);
        maker.SetUseTexture(true);
        TMemoryStream stream;
        SaveBitmapToJpegStream(MakeSolid(12, 9, QColor(200, 40, 40)), stream);
        maker.LoadTextureFromStream(stream);
        maker.SetShape(9);
        maker.SaveToFile(file);
    }
    TfrmSimpleFrame dialog(Folder());
    dialog.btnRect->setChecked(true);
    dialog.LoadFrame(file);
    EXPECT_TRUE(dialog.rbBKTypePicture->isChecked());
    EXPECT_EQ(dialog.BackPicture.size(), QSize(12, 9));
    EXPECT_TRUE(dialog.btnRect->isChecked());
    EXPECT_LE(MaxChannelDifference(dialog.PreviewImage().copy(5, 70, 8, 8),
                                   MakeSolid(8, 8, QColor(200, 40, 40))),
              6);
}

TEST_F(DesignerTest, UnreadableFileRaisesAndKeepsTheDialogNew)
{
    TfrmSimpleFrame dialog(Folder());
    EXPECT_ANY_THROW(dialog.LoadFrame(folder.file(QStringLiteral("missing.okx"))));
    EXPECT_TRUE(dialog.FrameFile.isEmpty());
}

TEST_F(DesignerTest, OkStoresANewDesignInTheUserCategoryWithoutReplacingOne)
{
    TfrmSimpleFrame first(Folder());
    first.btnRect->click();
    const QString before = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    first.SpTBXButton1->click();
    const QString after = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    EXPECT_EQ(first.result(), QDialog::Accepted);
    ASSERT_EQ(UserFrames().size(), 1);
    EXPECT_TRUE(first.FrameFile.startsWith(folder.path() + QStringLiteral("//Frame/User/")));
    const QString name = QFileInfo(first.FrameFile).fileName();
    EXPECT_TRUE(name.contains(QRegularExpression(QStringLiteral("^\\d{14}(_\\d+)?\\.okx$"))))
        << first.FrameFile.toStdString();
    // Named after the local date and time, not UTC.
    EXPECT_GE(name.left(14), before);
    EXPECT_LE(name.left(14), after);
    EXPECT_EQ(GetFrameFileType(first.FrameFile), ftSimple);
    TSimapleFrameMaker back;
    back.LoadFromFile(first.FrameFile);
    EXPECT_EQ(back.GetShape(), TSimapleFrameMaker::shRectangle);
    EXPECT_EQ(back.GetBackColor(), MakeColorRef(166, 202, 240));
    EXPECT_EQ(back.GetOutEdge(), 1);

    // A second design within the same second gets a name of its own.
    TfrmSimpleFrame second(Folder());
    second.FrameFile.clear();
    const QDateTime now = QDateTime::currentDateTime();
    const QString taken = NewFrameFileName(folder.path() + QLatin1Char('/'), now);
    QFile(first.FrameFile).copy(taken);
    EXPECT_NE(NewFrameFileName(folder.path() + QLatin1Char('/'), now), taken);
    second.SpTBXButton1->click();
    EXPECT_NE(second.FrameFile, first.FrameFile);
    EXPECT_GE(UserFrames().size(), 2);
}

TEST_F(DesignerTest, OkWithoutTheUserFolderReportsAndStaysOpen)
{
    ASSERT_TRUE(QDir(folder.file(QStringLiteral("Frame/User"))).removeRecursively());
    TfrmSimpleFrame dialog(Folder());
    dialog.show();
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    dialog.SpTBXButton1->click();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot create file "))) << message.toStdString();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(DesignerTest, NewDesignsGoToTheUserCategoryWhateverItsLetterCase)
{
    // The category folder spelt "user", in lower case, not as our own content spells it.
    ASSERT_TRUE(QDir(folder.file(QStringLiteral("Frame/User"))).removeRecursively());
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Frame/user")));
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    TfrmOrnateFrame dialog(Folder());
    dialog.show();
    dialog.SpTBXButton1->click();
    StopModalDrivers();
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QFileInfo(dialog.FrameFile).dir(), QDir(folder.file(QStringLiteral("Frame/user"))));
    EXPECT_EQ(GetFrameFileType(dialog.FrameFile), ftOrnate);
}

TEST_F(DesignerTest, CancelWritesNothing)
{
    TfrmSimpleFrame dialog(Folder());
    dialog.tbFrameWidth->setValue(40);
    dialog.SpTBXButton2->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(UserFrames().isEmpty());
}

TEST_F(DesignerTest, AnyMouseButtonOnASwatchAsksForItsColour)
{
    TfrmSimpleFrame dialog(Folder());
    dialog.show();
    QColor initial;
    AnswerColorDialog(QColor(0, 128, 0), &initial);
    QTest::mouseClick(dialog.shpBackColor, Qt::RightButton);
    EXPECT_EQ(initial, QColor(166, 202, 240));
    EXPECT_EQ(dialog.shpBackColor->Color(), QColor(0, 128, 0));
    EXPECT_EQ(PixelAt(dialog.PreviewImage(), 10, 76), qRgb(0, 128, 0));

    AnswerColorDialog(QColor(), &initial);
    QTest::mouseClick(dialog.shpOutEdge, Qt::LeftButton);
    EXPECT_EQ(initial, QColor(Qt::white));
    EXPECT_EQ(dialog.shpOutEdge->Color(), QColor(Qt::white)) << "a cancelled choice keeps it";
}

TEST_F(DesignerTest, BackgroundPictureComesFromBkpicAndShowsOnlyWithPicture)
{
    const QString red = Picture(QStringLiteral("red.png"), MakeSolid(16, 16, QColor(220, 0, 0)));
    const QString blue = Picture(QStringLiteral("blue.bmp"), MakeSolid(30, 20, QColor(0, 0, 220)));
    TfrmSimpleFrame dialog(Folder());
    dialog.show();
    QString opened;
    AnswerFileDialog(red, &opened);
    QTest::mouseClick(dialog.pnBKColor, Qt::LeftButton);
    EXPECT_EQ(opened, QFileInfo(folder.file(QStringLiteral("bkpic"))).absoluteFilePath());
    EXPECT_EQ(dialog.BackPicture.size(), QSize(16, 16));
    EXPECT_TRUE(dialog.rbBkTypeColor->isChecked()) << "choosing does not check Picture";
    EXPECT_EQ(PixelAt(dialog.PreviewImage(), 10, 76), kSky);

    dialog.rbBKTypePicture->setChecked(true);
    EXPECT_LE(MaxChannelDifference(dialog.PreviewImage().copy(5, 70, 8, 8),
                                   MakeSolid(8, 8, QColor(220, 0, 0))),
              6);

    // A second picture replaces the first; a cancelled choice keeps it.
    AnswerFileDialog(blue);
    QTest::mouseClick(dialog.pnBKColor, Qt::LeftButton);
    EXPECT_EQ(dialog.BackPicture.size(), QSize(30, 20));
    AnswerFileDialog(QString());
    QTest::mouseClick(dialog.pnBKColor, Qt::LeftButton);
    EXPECT_EQ(dialog.BackPicture.size(), QSize(30, 20));

    // The picture box shows the picture from its corner on white.
    const QImage box = dialog.pnBKColor->grab().toImage();
    EXPECT_EQ(PixelAt(box, 2, 2), qRgb(0, 0, 220));
    EXPECT_EQ(PixelAt(box, 35, 30), kWhite);
}

TEST_F(DesignerTest, UndecodablePictureIsReportedByNameAndTheEarlierOneKept)
{
    const QString red = Picture(QStringLiteral("red.png"), MakeSolid(16, 16, QColor(220, 0, 0)));
    const QString bad = folder.write(QStringLiteral("bkpic/bad.jpg"), "no picture in here");
    const QString expected = QStringLiteral("Cannot read the picture file ") + bad;

    TfrmSimpleFrame simple(Folder());
    simple.show();
    AnswerFileDialog(red);
    QTest::mouseClick(simple.pnBKColor, Qt::LeftButton);
    QString message;
    AnswerFileDialog(bad);
    AnswerMessageBox(QMessageBox::Ok, &message);
    QTest::mouseClick(simple.pnBKColor, Qt::LeftButton);
    EXPECT_EQ(message, expected);
    EXPECT_EQ(simple.BackPicture.size(), QSize(16, 16));
    simple.hide();

    TfrmOrnateFrame ornate(Folder());
    ornate.show();
    AnswerFileDialog(red);
    QTest::mouseClick(ornate.pbPic, Qt::LeftButton);
    message.clear();
    AnswerFileDialog(bad);
    AnswerMessageBox(QMessageBox::Ok, &message);
    QTest::mouseClick(ornate.pbPic, Qt::LeftButton);
    EXPECT_EQ(message, expected);
    EXPECT_EQ(ornate.TilePicture.size(), QSize(16, 16));
}

TEST_F(DesignerTest, PictureTallerThanJpegHoldsIsRefusedAndTheEarlierOneKept)
{
    const QString red = Picture(QStringLiteral("red.png"), MakeSolid(16, 16, QColor(220, 0, 0)));
    const QString tall = Picture(QStringLiteral("tall.png"), MakeSolid(2, 70000, Qt::blue));
    TfrmSimpleFrame simple(Folder());
    simple.show();
    AnswerFileDialog(red);
    QTest::mouseClick(simple.pnBKColor, Qt::LeftButton);
    QString message;
    AnswerFileDialog(tall);
    AnswerMessageBox(QMessageBox::Ok, &message);
    QTest::mouseClick(simple.pnBKColor, Qt::LeftButton);
    EXPECT_TRUE(message.startsWith(
        QStringLiteral("The picture of 2 x 70000 pixels cannot be saved as JPEG: ")))
        << message.toStdString();
    EXPECT_EQ(simple.BackPicture.size(), QSize(16, 16));
}

TEST_F(DesignerTest, PictureWithoutAPictureLeavesTheBandWhite)
{
    TfrmSimpleFrame dialog(Folder());
    dialog.rbBKTypePicture->setChecked(true);
    const QImage preview = dialog.PreviewImage();
    EXPECT_EQ(PixelAt(preview, 10, 76), kWhite);
    EXPECT_EQ(PixelAt(preview, 0, 76), kWhite);

    // Stored so, the file holds a band that uses an empty picture.
    dialog.SpTBXButton1->click();
    TSimapleFrameMaker back;
    back.LoadFromFile(dialog.FrameFile);
    EXPECT_TRUE(back.GetUseTexture());
    EXPECT_TRUE(back.GetTexture().isNull());
}

TEST_F(DesignerTest, ShapeButtonsAreExclusiveAndReachTheDesign)
{
    TfrmSimpleFrame dialog(Folder());
    dialog.show();
    QTest::mouseClick(dialog.btnDiamond, Qt::LeftButton);
    EXPECT_TRUE(dialog.btnDiamond->isChecked());
    EXPECT_FALSE(dialog.btnCircle->isChecked());
    EXPECT_EQ(dialog.Design().Shape, TSimapleFrameMaker::shDiamond);
    // The diamond leaves the band's corner region filled further in.
    EXPECT_EQ(PixelAt(dialog.PreviewImage(), 40, 40), kSky);
    QTest::mouseClick(dialog.btnRect, Qt::LeftButton);
    EXPECT_EQ(dialog.Design().Shape, TSimapleFrameMaker::shRectangle);
    EXPECT_EQ(PixelAt(dialog.PreviewImage(), 40, 40), kWhite);
}

TEST_F(DesignerTest, EveryPictureDialogShowsOneCaptionPerFilter)
{
    TfrmSimpleFrame simple(Folder());
    TfrmOrnateFrame ornate(Folder());
    TfrmPictureFrame picture(nullptr, Folder());
    const QRegularExpression oneCaption(QStringLiteral("^[^()]+ \\([^()]+\\)$"));
    for (const QStringList& filters :
         {simple.OpenPictureDialog1->nameFilters(), ornate.OpenPictureDialog1->nameFilters(),
          picture.OpenPictureDialog1->nameFilters(), TfrmMain::OpenPictureFilters()})
        for (const QString& filter : filters)
            EXPECT_TRUE(oneCaption.match(filter).hasMatch()) << filter.toStdString();
    EXPECT_EQ(ornate.OpenPictureDialog1->nameFilters().value(0),
              QStringLiteral("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));
    // The patterns of an entry are those it offers, whatever its text said.
    EXPECT_TRUE(simple.OpenPictureDialog1->nameFilters().contains(QStringLiteral("TIF (*.tiff)")));

    // The whole caption shows in the dialog's filter box.
    for (TOpenPictureDialog* dialog :
         {simple.OpenPictureDialog1.data(), ornate.OpenPictureDialog1.data()}) {
        dialog->show();
        QCoreApplication::processEvents();
        auto* box = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->currentText(), dialog->nameFilters().value(0));
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, box);
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->currentText()), field.width());
        dialog->hide();
    }
}

// --- Ornate designer -------------------------------------------------------------

TEST_F(DesignerTest, NewOrnateDesignAndItsStretchedPreview)
{
    TfrmOrnateFrame dialog(Folder());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Ornate Frame"));
    EXPECT_EQ(dialog.size(), QSize(609, 379));
    EXPECT_EQ(dialog.tbFrameSize->value(), 20);
    EXPECT_EQ(dialog.edtFrameSize->text(), QStringLiteral("20"));
    EXPECT_EQ(dialog.tbFrameSize->minimum(), 5);
    EXPECT_EQ(dialog.tbFrameSize->maximum(), 80);
    EXPECT_TRUE(dialog.TilePicture.isNull());
    // No tile: nothing is drawn on the white box.
    EXPECT_TRUE(SamePixels(dialog.PreviewImage(), MakeSolid(161, 153, Qt::white)));

    // A solid tile: the 160 x 140 frame is stretched over the whole box, so
    // the band reaches the box's last column and row.
    dialog.TilePicture = MakeSolid(20, 20, QColor(0, 160, 0));
    const QImage preview = dialog.PreviewImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(160, 152), QPoint(160, 76), QPoint(80, 152)})
        EXPECT_LE(MaxChannelDifference(preview.copy(QRect(p, QSize(1, 1))),
                                       MakeSolid(1, 1, QColor(0, 160, 0))),
                  6)
            << p.x() << "," << p.y();
    EXPECT_EQ(PixelAt(preview, 80, 76), kWhite);
}

TEST_F(DesignerTest, OrnateSizeEditClampsAndReportsLetters)
{
    TfrmOrnateFrame dialog(Folder());
    dialog.edtFrameSize->clear();
    EXPECT_EQ(dialog.tbFrameSize->value(), 5);
    EXPECT_EQ(dialog.edtFrameSize->text(), QStringLiteral("5"));
    dialog.tbFrameSize->setValue(33);
    EXPECT_EQ(dialog.edtFrameSize->text(), QStringLiteral("33"));

    // Letters can be typed here, and are reported.
    dialog.show();
    dialog.edtFrameSize->setFocus();
    dialog.edtFrameSize->end(false);
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    QTest::keyClick(dialog.edtFrameSize, Qt::Key_Q);
    EXPECT_EQ(message, QStringLiteral("'33q' is not a valid integer value"));
    EXPECT_EQ(dialog.tbFrameSize->value(), 33);
}

TEST_F(DesignerTest, OrnateLoadClampsAndOkRewritesTheFile)
{
    const QString file = folder.file(QStringLiteral("big.okx"));
    {
        TOrnateFrameMaker maker;
        maker.SetFrameSize(100);
        TMemoryStream stream;
        SaveBitmapToJpegStream(MakeSolid(24, 24, QColor(90, 60, 30)), stream);
        maker.LoadPieceFromStream(stream);
        maker.SaveToFile(file);
    }
    TfrmOrnateFrame dialog(Folder());
    dialog.LoadFrame(file);
    EXPECT_EQ(dialog.FrameFile, file);
    EXPECT_EQ(dialog.tbFrameSize->value(), 80);
    EXPECT_EQ(dialog.TilePicture.size(), QSize(24, 24));
    dialog.SpTBXButton1->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    TOrnateFrameMaker back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.GetFrameSize(), 80);
    EXPECT_EQ(back.GetPiece().size(), QSize(24, 24));
    EXPECT_TRUE(UserFrames().isEmpty());
}

TEST_F(DesignerTest, OrnateTileComesFromBkpicAndNewDesignsGoToTheUserCategory)
{
    const QString tile = Picture(QStringLiteral("tile.jpg"), MakeSolid(20, 20, QColor(0, 0, 200)));
    const QString other = Picture(QStringLiteral("other.bmp"), MakeSolid(8, 8, QColor(9, 9, 9)));
    TfrmOrnateFrame dialog(Folder());
    dialog.show();
    QString opened;
    AnswerFileDialog(tile, &opened);
    QTest::mouseClick(dialog.pbPic, Qt::LeftButton);
    EXPECT_EQ(opened, QFileInfo(folder.file(QStringLiteral("bkpic"))).absoluteFilePath());
    EXPECT_EQ(dialog.TilePicture.size(), QSize(20, 20));
    AnswerFileDialog(other);
    QTest::mouseClick(dialog.pbPic, Qt::LeftButton);
    EXPECT_EQ(dialog.TilePicture.size(), QSize(8, 8));
    EXPECT_EQ(PixelAt(dialog.pbPic->grab().toImage(), 3, 3), qRgb(9, 9, 9));

    dialog.SpTBXButton1->click();
    ASSERT_EQ(UserFrames().size(), 1);
    EXPECT_EQ(GetFrameFileType(dialog.FrameFile), ftOrnate);
    TOrnateFrameMaker back;
    back.LoadFromFile(dialog.FrameFile);
    EXPECT_EQ(back.GetFrameSize(), 20);
    EXPECT_EQ(back.GetPiece().size(), QSize(8, 8));
}

} // namespace
