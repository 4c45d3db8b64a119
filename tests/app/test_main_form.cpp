// The main window: start-up order, the status bar, the Undo/Redo state and
// every command of the window, driven headless through its menus, buttons and
// the canvas's mouse events.

#include "DesktopServices.h"
#include "FontSelectDialog.h"
#include "HandlerGuard.h"
#include "MainForm.h"
#include "ModalDriver.h"
#include "QynKadrix.h"
#include "SidePanel.h"
#include "TestSupport.h"
#include "TipForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
// What the stand-ins for the desktop were asked.
struct TDesktopLog
{
    QStringList Wallpapers;
    QStringList Helps;
    bool HelpShown = true;
    QStringList Addresses;
    bool WallpaperTaken = true;
};

class TFakeWallpaper : public TWallpaperSetter
{
public:
    explicit TFakeWallpaper(TDesktopLog* log) : m_log(log) {}
    bool SetWallpaper(const QString& FileName) override
    {
        m_log->Wallpapers << FileName;
        return m_log->WallpaperTaken;
    }

private:
    TDesktopLog* m_log;
};

class TFakeHelp : public THelpViewer
{
public:
    explicit TFakeHelp(TDesktopLog* log) : m_log(log) {}
    void ShowHelp(const QString& FileName, std::function<void()> NotShown) override
    {
        m_log->Helps << FileName;
        if (!m_log->HelpShown)
            NotShown();
    }

private:
    TDesktopLog* m_log;
};

class TFakeAddresses : public TAddressOpener
{
public:
    explicit TFakeAddresses(TDesktopLog* log) : m_log(log) {}
    void OpenAddress(const QString& Address) override { m_log->Addresses << Address; }

private:
    TDesktopLog* m_log;
};

// A frame picture with a transparent opening in its middle.
QImage MakeFramePicture(int width, int height, QColor band)
{
    QImage image = MakeSolid(width, height, band);
    for (int y = height / 5; y < height - height / 5; ++y)
        for (int x = width / 5; x < width - width / 5; ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteTipsIni("[General]\nTips=0\n");
        ASSERT_TRUE(MakeFramePicture(400, 300, QColor(150, 30, 30)).save(Folder("Default.png")));
        ASSERT_TRUE(MakeGradient(800, 600).save(Folder("Default.jpg"), "JPG"));
    }
    void TearDown() override
    {
        StopModalDrivers();
        window.reset();
    }

    QString Folder(const QString& name) const { return folder.file(name); }

    void WriteTipsIni(const QByteArray& text)
    {
        const QString file = settings.iniFile(QStringLiteral("Brimlow"));
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    std::unique_ptr<TfrmMain> MakeWindow()
    {
        TDesktopServices services;
        services.Wallpaper = std::make_unique<TFakeWallpaper>(&log);
        services.Help = std::make_unique<TFakeHelp>(&log);
        services.Addresses = std::make_unique<TFakeAddresses>(&log);
        const QString path = folder.path() + QLatin1Char('/');
        return std::make_unique<TfrmMain>(std::move(services), [path] { return path; });
    }

    // Creates (unless made already) and shows the window and waits for the default frame and photo.
    void StartUp()
    {
        if (!window)
            window = MakeWindow();
        window->ShowMaximised();
        ASSERT_TRUE(QTest::qWaitFor([this] { return Canvas()->Photo->Loaded; }));
    }

    TQynKadrix* Canvas() const { return window->QynKadrix1; }

    // Selects the photo by a click through the frame's opening.
    void SelectPhoto()
    {
        const QPoint centre(Canvas()->width() / 2, Canvas()->height() / 2);
        QTest::mouseClick(Canvas(), Qt::LeftButton, {}, centre);
        ASSERT_TRUE(Canvas()->Photo->Selected);
    }

    // Answers the next file dialog with Path, or cancels it for an empty path.
    void AnswerFileDialog(const QString& path, QStringList* filters = nullptr,
                          QString* selectedFilter = nullptr)
    {
        WhenModal<QFileDialog>([=](QFileDialog* dialog) {
            if (filters)
                *filters = dialog->nameFilters();
            if (selectedFilter)
                *selectedFilter = dialog->selectedNameFilter();
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
    }

    TTextClass* OverlayText(size_t index) const
    {
        return dynamic_cast<TTextClass*>(Canvas()->Overlays.at(index).get());
    }

    TScopedSettings settings;
    TTempDir folder;
    TDesktopLog log;
    std::unique_ptr<TfrmMain> window;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

// --- Start-up --------------------------------------------------------------------

TEST_F(MainFormTest, StartUpCentresTheDefaultFrameAndPhotoInTheFinalCanvas)
{
    StartUp();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvo 2.38"));
    EXPECT_EQ(frmMain.data(), window.get());
    EXPECT_EQ(window->SpTBXTabControl1->currentIndex(), 0);

    const TQynKadrix* canvas = Canvas();
    EXPECT_EQ(canvas->DefaultBoxWidth, int(canvas->width() * 0.8));
    EXPECT_EQ(canvas->DefaultBoxHeight, int(canvas->height() * 0.8));
    ASSERT_TRUE(canvas->Frame->Loaded);
    const TGPRect frame = canvas->GetFrameRect();
    EXPECT_EQ(frame.Width, canvas->DefaultBoxWidth);
    EXPECT_EQ(frame.Height, canvas->DefaultBoxHeight);
    EXPECT_LE(std::abs(2 * frame.X + frame.Width - canvas->width()), 1);
    EXPECT_LE(std::abs(2 * frame.Y + frame.Height - canvas->height()), 1);
    // The photo (4:3) fitted into the same box and centred.
    const TGPRect photo = canvas->Photo->GetRect();
    EXPECT_LE(std::abs(2 * photo.X + photo.Width - canvas->width()), 1);
    EXPECT_LE(std::abs(2 * photo.Y + photo.Height - canvas->height()), 1);
    EXPECT_TRUE(photo.Width == canvas->DefaultBoxWidth || photo.Height == canvas->DefaultBoxHeight);

    for (QAction* item : {window->mUndo, window->mRedo, window->btnUndo, window->btnRedo})
        EXPECT_FALSE(item->isEnabled());
}

TEST_F(MainFormTest, UnmaximisingGivesTheNormalSizeCentredOnTheScreen)
{
    StartUp();
    EXPECT_TRUE(window->isMaximized());
    // What the window goes back to (and what a window manager keeps for it).
    const QRect normal = window->normalGeometry();
    EXPECT_EQ(normal.size(), QSize(652, 493));
    const QRect available = window->screen()->availableGeometry();
    EXPECT_LE((normal.center() - available.center()).manhattanLength(), 2);
}

TEST_F(MainFormTest, ActivationAgainAfterADialogOrUnminimiseReloadsNothing)
{
    StartUp();
    const TGPRect photo = Canvas()->Photo->GetRect();
    const TGPRect frame = Canvas()->GetFrameRect();
    // A reload would now show a tall photo and fail on the frame.
    ASSERT_TRUE(MakeGradient(300, 600).save(Folder("Default.jpg"), "JPG"));
    QFile::remove(Folder("Default.png"));

    WhenModal<TfrmTips>([](TfrmTips* dialog) { dialog->Button2Click(); });
    window->SpTBXItem4->trigger();
    QEvent activation(QEvent::ActivationChange);
    QApplication::sendEvent(window.get(), &activation);
    window->showMinimized();
    window->showMaximized();
    QTest::qWait(0);
    QCoreApplication::processEvents();

    EXPECT_EQ(Canvas()->Photo->GetRect(), photo);
    EXPECT_EQ(Canvas()->GetFrameRect(), frame);
}

TEST_F(MainFormTest, SidePanelIsFilledOnTheFirstShowOnly)
{
    for (const char* sub : {"Frame/Classic", "Frame/user", "clipart/Stars"})
        ASSERT_TRUE(QDir().mkpath(Folder(QString::fromLatin1(sub))));
    window = MakeWindow();
    EXPECT_EQ(window->SidePanel->lsbFrame->count(), 0);
    StartUp();
    EXPECT_EQ(window->SidePanel->lsbFrame->count(), 2);
    EXPECT_EQ(window->SidePanel->lsbPicture->count(), 1);

    ASSERT_TRUE(QDir().mkpath(Folder(QStringLiteral("Frame/Modern"))));
    window->hide();
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->SidePanel->lsbFrame->count(), 2);
}

TEST_F(MainFormTest, MissingDefaultPhotoIsReportedAfterTheFrameAndTheWindowStays)
{
    QFile::remove(Folder("Default.jpg"));
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    window = MakeWindow();
    window->ShowMaximised();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !message.isEmpty(); }));
    EXPECT_TRUE(message.contains(QStringLiteral("Default.jpg")));
    EXPECT_TRUE(Canvas()->Frame->Loaded);
    EXPECT_FALSE(Canvas()->Photo->Loaded);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainFormTest, TipComesBeforeTheMainWindowWhenTheSettingAsks)
{
    QFile::remove(settings.iniFile(QStringLiteral("Brimlow")));
    bool shown = false;
    bool mainVisible = true;
    WhenModal<TfrmTips>([&](TfrmTips* dialog) {
        shown = true;
        mainVisible = frmMain && frmMain->isVisible();
        dialog->Button2Click();
    });
    window = MakeWindow();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(mainVisible);
}

TEST_F(MainFormTest, NoTipWhenTheSettingSaysNo)
{
    bool shown = false;
    WhenModal<TfrmTips>([&](TfrmTips* dialog) {
        shown = true;
        dialog->Button2Click();
    });
    window = MakeWindow();
    EXPECT_FALSE(shown);
}

// --- Layout, menus and tool bar -----------------------------------------------------

TEST_F(MainFormTest, MenusToolBarAndTabsAreAsDescribed)
{
    window = MakeWindow();
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Output", "&Photo", "&Help"}));

    auto items = [&](int menu) {
        QStringList list;
        for (QAction* item : window->menuBar()->actions().at(menu)->menu()->actions())
            list << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return list;
    };
    EXPECT_EQ(items(0), QStringList({"Save", "Open Photo...", "-", "Print", "-", "Exit"}));
    EXPECT_EQ(items(1), QStringList({"Undo", "Redo", "-", "Delete Select Object", "Send to Back",
                                     "Bring to Front", "Flip Left to Right", "Flip Top to Bottom ",
                                     "Rotate 90 Left", "Rotate 90 Right"}));
    EXPECT_EQ(items(2), QStringList({"Save Photo to File", "Send Photo to Friends",
                                     "Make Photo Wallpaper", "Add Frame to photo in bulk"}));
    EXPECT_EQ(items(3), QStringList({"Brightness/Contrast/Gamma", "Color Adjust", "Saturation"}));
    EXPECT_EQ(items(4), QStringList({"Contents", "Tip of the days", "-", "Get Technical Support",
                                     "Visit us on the web", "-", "About"}));

    EXPECT_EQ(window->mSave->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(window->mOpenPhoto->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(window->mUndo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(window->mRedo->shortcut(), QKeySequence(QStringLiteral("Shift+Ctrl+Z")));
    EXPECT_EQ(window->mDelete->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(window->mContents->shortcut(), QKeySequence(Qt::Key_F1));

    QStringList buttons;
    for (QAction* button : window->ToolBar->actions())
        buttons << (button->isSeparator() ? QStringLiteral("-")
                                          : button->text() + QLatin1Char('|') + button->toolTip());
    EXPECT_EQ(buttons, QStringList({"Open|Open photo", "Save|Save photo to a jpg file", "-",
                                    "Undo|Undo", "Redo|Redo", "Delete|Delete the selected object.",
                                    "-", "PrintPreview|Print the framed photo",
                                    "Email|send your photo to your friend ", "Wallpaper|Wallpaper",
                                    "-", "Help|Help"}));
    EXPECT_EQ(window->ToolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

    QStringList popup;
    for (QAction* item : window->SpTBXPopupMenu1->actions())
        popup << item->text();
    EXPECT_EQ(popup, QStringList({"Delete", "Send to Back", "Bring to Front", "Flip Left to Right",
                                  "Flip Top to Bottom", "Rotate 90 Left", "Rotate 90 Right"}));

    QStringList tabs;
    for (int i = 0; i < window->SpTBXTabControl1->count(); ++i)
        tabs << window->SpTBXTabControl1->tabText(i);
    EXPECT_EQ(tabs, QStringList({"Frame", "Png Frame", "ClipArt", "Text"}));
    EXPECT_EQ(window->edtText->size(), QSize(288, 121));
    EXPECT_EQ(window->lblX->text(), QStringLiteral("X:"));
    EXPECT_EQ(window->lblY->text(), QStringLiteral("Y:    "));
    EXPECT_EQ(window->lblWidth->text(), QStringLiteral("Width:  "));
    EXPECT_EQ(window->lblHeight->text(), QStringLiteral("Height:"));
}

// --- Status bar and Undo/Redo --------------------------------------------------------

TEST_F(MainFormTest, MouseMoveShowsTheFrameRectangleWhereverThePointerIs)
{
    StartUp();
    Canvas()->Frame->SetRect(TGPRect{12, 30, 500, 400});
    QTest::mouseMove(Canvas(), QPoint(3, 4));
    EXPECT_EQ(window->lblX->text(), QStringLiteral("X:12"));
    EXPECT_EQ(window->lblY->text(), QStringLiteral("Y:30"));
    EXPECT_EQ(window->lblWidth->text(), QStringLiteral("Width:500"));
    EXPECT_EQ(window->lblHeight->text(), QStringLiteral("Height:400"));

    Canvas()->Frame->SetRect(TGPRect{-7, -2, 10, 11});
    QTest::mouseMove(Canvas(), QPoint(200, 150));
    EXPECT_EQ(window->lblX->text(), QStringLiteral("X:-7"));
    EXPECT_EQ(window->lblY->text(), QStringLiteral("Y:-2"));
}

TEST_F(MainFormTest, UndoAndRedoFollowTheCanvasAfterFlipsUndoAndRedo)
{
    StartUp();
    SelectPhoto();
    window->SpTBXItem1->trigger();
    EXPECT_TRUE(window->mUndo->isEnabled());
    EXPECT_TRUE(window->btnUndo->isEnabled());
    EXPECT_FALSE(window->mRedo->isEnabled());

    window->btnUndo->trigger();
    EXPECT_FALSE(window->mUndo->isEnabled());
    EXPECT_FALSE(window->btnUndo->isEnabled());
    EXPECT_TRUE(window->mRedo->isEnabled());
    EXPECT_TRUE(window->btnRedo->isEnabled());

    window->mRedo->trigger();
    EXPECT_TRUE(window->btnUndo->isEnabled());
    EXPECT_FALSE(window->btnRedo->isEnabled());

    // Each of the four turns records one step.
    window->pmFlipY->trigger();
    window->SpTBXItem9->trigger();
    window->SpTBXItem10->trigger();
    int steps = 0;
    while (Canvas()->CanUndo()) {
        window->mUndo->trigger();
        ++steps;
    }
    EXPECT_EQ(steps, 4);
    EXPECT_FALSE(window->mUndo->isEnabled());
}

TEST_F(MainFormTest, ReStackingLeavesTheUndoItemsAlone)
{
    StartUp();
    SelectPhoto();
    window->SpTBXItem1->trigger();
    ASSERT_TRUE(window->mUndo->isEnabled());
    // Only the commands that update the items may change them.
    window->mUndo->setEnabled(false);
    window->mSendtoBack->trigger();
    window->mBringtoFront->trigger();
    EXPECT_FALSE(window->mUndo->isEnabled());
    window->mDelete->trigger();
    EXPECT_TRUE(window->mUndo->isEnabled());
}

TEST_F(MainFormTest, FlipWithNothingSelectedChangesNothing)
{
    StartUp();
    Canvas()->DeselectAll();
    window->SpTBXItem1->trigger();
    window->SpTBXItem9->trigger();
    EXPECT_FALSE(window->mUndo->isEnabled());
    EXPECT_FALSE(Canvas()->CanUndo());
}

// --- Open, save, exit ----------------------------------------------------------------

TEST_F(MainFormTest, OpenPhotoOffersTheFilterAndLoadsTheChoice)
{
    StartUp();
    const QString tall = Folder("tall.jpg");
    ASSERT_TRUE(MakeGradient(300, 600).save(tall, "JPG"));
    QStringList filters;
    QString selected;
    AnswerFileDialog(tall, &filters, &selected);
    window->btnOpen->trigger();

    ASSERT_EQ(filters.size(), 12);
    EXPECT_EQ(filters.first(),
              QStringLiteral("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf *.exif *.tiff *.tif "
                             "*.png *.gif)"));
    EXPECT_EQ(filters.at(10), QStringLiteral("TIFF (*.tif)"));
    EXPECT_EQ(selected, filters.first());
    // The tall photo replaced the wide one.
    const TGPRect photo = Canvas()->Photo->GetRect();
    EXPECT_LE(std::abs(photo.Height - 2 * photo.Width), 2);
}

TEST_F(MainFormTest, CancelledOpenChangesNothing)
{
    StartUp();
    const TGPRect photo = Canvas()->Photo->GetRect();
    AnswerFileDialog(QString());
    window->mOpenPhoto->trigger();
    EXPECT_EQ(Canvas()->Photo->GetRect(), photo);
}

TEST_F(MainFormTest, UndecodablePhotoIsReportedAndTheWindowStaysOpen)
{
    StartUp();
    const QString junk = folder.write(QStringLiteral("junk.jpg"), "not a picture");
    QString message;
    bool captionOk = false;
    AnswerFileDialog(junk);
    // The error box comes up once the file dialog has closed.
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        message = box->text();
        captionOk = box->windowTitle() == QStringLiteral("Orvo");
        box->accept();
    });
    window->mOpenPhoto->trigger();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(captionOk);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainFormTest, PhotoThatFittedWouldHaveNoPixelsIsRefusedAndTheEarlierOneKept)
{
    StartUp();
    const TGPRect photo = Canvas()->Photo->GetRect();
    const QString thin = Folder("thin.png");
    ASSERT_TRUE(MakeSolid(1, 20000, Qt::red).save(thin, "PNG"));
    QString message;
    AnswerFileDialog(thin);
    AnswerMessageBox(QMessageBox::Ok, &message);
    window->btnOpen->trigger();
    EXPECT_EQ(message,
              QStringLiteral("The picture file %1 is too narrow to be shown: 1 x 20000 pixels")
                  .arg(thin));
    EXPECT_EQ(Canvas()->Photo->GetRect(), photo);
    EXPECT_EQ(Canvas()->Photo->GetBitmap()->size(), QSize(800, 600));
    // A clip-art picture goes the same way.
    EXPECT_THROW(Canvas()->AddClipArt(thin), EImagingError);
    EXPECT_TRUE(Canvas()->Overlays.empty());
}

TEST_F(MainFormTest, SaveOverAnExistingFileAsksAndNoKeepsTheOldBytes)
{
    StartUp();
    const QString target = folder.write(QStringLiteral("old.jpg"), "old bytes");
    QString question;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        AnswerMessageBox(QMessageBox::No, &question);
        dialog->selectFile(target);
        static_cast<QDialog*>(dialog)->accept();
    });
    window->mSave->trigger();
    EXPECT_EQ(question, QStringLiteral("The File exists,are your sure to override it?"));
    EXPECT_EQ(ReadAll(target), QByteArray("old bytes"));

    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        AnswerMessageBox(QMessageBox::Yes);
        dialog->selectFile(target);
        static_cast<QDialog*>(dialog)->accept();
    });
    window->btnSave->trigger();
    const QImage saved(target);
    ASSERT_FALSE(saved.isNull());
    const TGPRect frame = Canvas()->GetFrameRect();
    EXPECT_EQ(saved.size(), QSize(frame.Width, frame.Height));
}

TEST_F(MainFormTest, SaveUnderANewNameAsksNothingAndAddsTheSuffix)
{
    StartUp();
    bool asked = false;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            asked = true;
            box->reject();
        });
        dialog->selectFile(Folder("framed"));
        static_cast<QDialog*>(dialog)->accept();
    });
    window->mSaveToFile->trigger();
    StopModalDrivers();
    EXPECT_FALSE(asked);
    EXPECT_FALSE(QImage(Folder("framed.JPG")).isNull());
}

TEST_F(MainFormTest, SaveAsShowsWholeColumnsAndAFileOverwrittenInPlaceAsItIsNow)
{
    StartUp();
    const QString target = folder.write(QStringLiteral("old.jpg"), "old bytes");
    // True once the list shows Size for the file.
    const auto shows = [&](QFileDialog* dialog, qint64 size) {
        auto* model = dialog->findChild<QFileSystemModel*>();
        return model && QTest::qWaitFor([&] { return model->size(model->index(target)) == size; });
    };
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        dialog->setDirectory(folder.path());
        EXPECT_TRUE(shows(dialog, 9));
        EXPECT_EQ(dialog->size(), QSize(1040, 560));
        const auto* list = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        for (int column = 1; list && column < 4; ++column)
            EXPECT_GE(list->header()->sectionSize(column),
                      static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(column));
        dialog->reject();
    });
    window->mSave->trigger();

    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(2000, 'x')) == 2000);
    file.close();
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_TRUE(shows(dialog, 2000));
        dialog->reject();
    });
    window->mSave->trigger();
}

TEST_F(MainFormTest, ExitClosesTheWindow)
{
    StartUp();
    window->mExit->trigger();
    EXPECT_FALSE(window->isVisible());
}

// --- Overlays: text, object menu, re-stacking ------------------------------------------

TEST_F(MainFormTest, BlankTextAddsNothing)
{
    StartUp();
    window->edtText->setPlainText(QStringLiteral(" \t\n "));
    QTest::mouseClick(window->SpTBXButton1, Qt::LeftButton);
    QTest::mouseClick(window->SpTBXButton2, Qt::LeftButton);
    EXPECT_TRUE(Canvas()->Overlays.empty());
}

TEST_F(MainFormTest, AddNewTextUsesTheEditorsFontInOneColour)
{
    StartUp();
    QFont font(QStringLiteral("DejaVu Sans"), 14);
    font.setItalic(true);
    window->edtText->setFont(font);
    window->SetTextColor(QColor(10, 200, 30));
    window->edtText->setPlainText(QStringLiteral(" Hello\nWorld "));
    QTest::mouseClick(window->SpTBXButton1, Qt::LeftButton);

    ASSERT_EQ(Canvas()->Overlays.size(), 1u);
    const TTextClass* text = OverlayText(0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText(), QStringLiteral(" Hello\nWorld "));
    const TFontOption& option = text->GetFontOption();
    EXPECT_EQ(option.Font.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(option.Font.pointSize(), 14);
    EXPECT_TRUE(option.Font.italic());
    EXPECT_FALSE(option.Font.bold());
    EXPECT_EQ(option.Color1, MakeColorRef(10, 200, 30));
    EXPECT_EQ(option.Color2, option.Color1);
    EXPECT_EQ(option.Angle, 1);
    const TGPRect frame = Canvas()->GetFrameRect();
    EXPECT_EQ(text->GetRect(),
              (TGPRect{frame.X + frame.Width / 2, frame.Y + frame.Height / 2, 200, 40}));
}

TEST_F(MainFormTest, ApplyChangesTheSelectedTextElseAddsOne)
{
    StartUp();
    window->edtText->setPlainText(QStringLiteral("first"));
    window->SpTBXButton2Click();
    ASSERT_EQ(Canvas()->Overlays.size(), 1u);

    TTextClass* text = OverlayText(0);
    text->SetSelected(true);
    text->Width = 150;
    window->edtText->setPlainText(QStringLiteral("second"));
    window->SetTextColor(Qt::blue);
    window->SpTBXButton2Click();
    ASSERT_EQ(Canvas()->Overlays.size(), 1u);
    EXPECT_EQ(text->GetText(), QStringLiteral("second"));
    EXPECT_EQ(text->Width, 150);
    EXPECT_EQ(text->GetFontOption().Color1, MakeColorRef(0, 0, 255));

    // A selected clip-art is no text: Apply adds a new one.
    const QString clip = Folder("clip.png");
    ASSERT_TRUE(MakeSolid(32, 32, Qt::yellow).save(clip));
    Canvas()->AddClipArt(clip);
    Canvas()->DeselectAll();
    Canvas()->Overlays.back()->SetSelected(true);
    window->SpTBXButton2Click();
    ASSERT_EQ(Canvas()->Overlays.size(), 3u);
    EXPECT_EQ(OverlayText(0)->GetText(), QStringLiteral("second"));
    EXPECT_EQ(OverlayText(2)->GetText(), QStringLiteral("second"));
}

TEST_F(MainFormTest, FontDialogColourReachesTheTextAndComesBackOnPickUp)
{
    StartUp();
    WhenModal<TFontSelectDialog>([](TFontSelectDialog* dialog) {
        dialog->SetSelectedColor(QColor(200, 0, 0));
        dialog->chkBold->setChecked(true);
        dialog->edtSize->setValue(20);
        dialog->accept();
    });
    QTest::mouseClick(window->SpTBXButton10, Qt::LeftButton);
    EXPECT_EQ(window->TextColor(), QColor(200, 0, 0));
    EXPECT_TRUE(window->edtText->font().bold());
    EXPECT_EQ(window->edtText->font().pointSize(), 20);

    window->edtText->setPlainText(QStringLiteral("red words"));
    window->SpTBXButton1Click();
    ASSERT_EQ(Canvas()->Overlays.size(), 1u);
    const TTextClass* text = OverlayText(0);
    EXPECT_EQ(text->GetFontOption().Color1, MakeColorRef(200, 0, 0));
    EXPECT_TRUE(text->GetFontOption().Font.bold());

    // The editor moves on; clicking the text brings its style back.
    window->edtText->setPlainText(QStringLiteral("other"));
    window->edtText->setFont(QFont(QStringLiteral("DejaVu Serif"), 9));
    window->SetTextColor(Qt::black);
    QTest::mouseClick(Canvas(), Qt::LeftButton, {}, QPoint(text->X + 5, text->Y + 5));
    EXPECT_EQ(window->edtText->toPlainText(), QStringLiteral("red words"));
    EXPECT_EQ(window->TextColor(), QColor(200, 0, 0));
    EXPECT_TRUE(window->edtText->font().bold());
    EXPECT_EQ(window->edtText->font().pointSize(), 20);
    EXPECT_EQ(window->edtText->font().family(), text->GetFontOption().Font.family());
}

TEST_F(MainFormTest, CancelledFontDialogKeepsTheEditorsFont)
{
    StartUp();
    window->SetTextColor(Qt::darkGreen);
    const QFont before = window->edtText->font();
    WhenModal<TFontSelectDialog>([](TFontSelectDialog* dialog) {
        dialog->SetSelectedColor(Qt::red);
        dialog->reject();
    });
    window->SpTBXButton10Click();
    EXPECT_EQ(window->TextColor(), QColor(Qt::darkGreen));
    EXPECT_EQ(window->edtText->font(), before);
}

TEST_F(MainFormTest, RightClickOnAnOverlayOpensTheObjectMenuAtThePressedPoint)
{
    StartUp();
    window->edtText->setPlainText(QStringLiteral("menu"));
    window->SpTBXButton1Click();
    // Near the canvas's left edge, so the menu fits on the screen unmoved.
    TRectBase* text = Canvas()->Overlays.back().get();
    text->X = 20;
    text->Y = 30;
    text->UpdateRegion();
    const QPoint point(text->X + 10, text->Y + 20);
    QTest::mouseClick(Canvas(), Qt::RightButton, {}, point);
    ASSERT_TRUE(window->SpTBXPopupMenu1->isVisible());
    EXPECT_EQ(window->SpTBXPopupMenu1->pos(), Canvas()->mapToGlobal(point));

    // "Delete" from the menu frees the overlay the press named.
    window->SpTBXPopupMenu1->hide();
    window->pmDelete->trigger();
    EXPECT_TRUE(Canvas()->Overlays.empty());
}

TEST_F(MainFormTest, BringToFrontSendToBackAndDeleteActOnTheSelectedOverlay)
{
    StartUp();
    window->edtText->setPlainText(QStringLiteral("A"));
    window->SpTBXButton1Click();
    window->edtText->setPlainText(QStringLiteral("B"));
    window->SpTBXButton1Click();
    Canvas()->Overlays.front()->SetSelected(true);

    window->pnBringtoFront->trigger();
    EXPECT_EQ(OverlayText(1)->GetText(), QStringLiteral("A"));
    window->pmSendtoBack->trigger();
    EXPECT_EQ(OverlayText(0)->GetText(), QStringLiteral("A"));
    window->btnDelete->trigger();
    ASSERT_EQ(Canvas()->Overlays.size(), 1u);
    EXPECT_EQ(OverlayText(0)->GetText(), QStringLiteral("B"));
    // Nothing selected: nothing happens.
    window->mDelete->trigger();
    EXPECT_EQ(Canvas()->Overlays.size(), 1u);
}

TEST_F(MainFormTest, DeleteKeyInTheTextEditorEditsTheTextNotTheCanvas)
{
    StartUp();
    window->edtText->setPlainText(QStringLiteral("keep"));
    window->SpTBXButton1Click();
    Canvas()->Overlays.back()->SetSelected(true);
    window->SpTBXTabControl1->setCurrentWidget(window->tabText);
    window->activateWindow();
    window->edtText->setFocus();
    window->edtText->moveCursor(QTextCursor::Start);
    QTest::keyClick(window->edtText, Qt::Key_Delete);
    EXPECT_EQ(window->edtText->toPlainText(), QStringLiteral("eep"));
    EXPECT_EQ(Canvas()->Overlays.size(), 1u);
}

TEST_F(MainFormTest, DoubleClickOnTheSelectedPhotoOpensAPhoto)
{
    StartUp();
    SelectPhoto();
    const QString tall = Folder("tall.jpg");
    ASSERT_TRUE(MakeGradient(300, 600).save(tall, "JPG"));
    AnswerFileDialog(tall);
    const QPoint centre(Canvas()->width() / 2, Canvas()->height() / 2);
    QTest::mouseDClick(Canvas(), Qt::LeftButton, {}, centre);
    const TGPRect photo = Canvas()->Photo->GetRect();
    EXPECT_LE(std::abs(photo.Height - 2 * photo.Width), 2);
}

// --- Desktop: wallpaper, help, addresses --------------------------------------------------

TEST_F(MainFormTest, WallpaperWritesTheFileAndSetsItEveryTime)
{
    StartUp();
    const QString path = folder.path() + QStringLiteral("//Wallpaper.jpg");
    window->btnWallpaper->trigger();
    ASSERT_EQ(log.Wallpapers, QStringList({path}));
    const QImage first(path);
    ASSERT_FALSE(first.isNull());
    const TGPRect frame = Canvas()->GetFrameRect();
    EXPECT_EQ(first.size(), QSize(frame.Width, frame.Height));

    QFile::remove(path);
    folder.write(QStringLiteral("Wallpaper.jpg"), "stale");
    window->mWallpaper->trigger();
    EXPECT_EQ(log.Wallpapers.size(), 2);
    EXPECT_FALSE(QImage(path).isNull());
}

TEST_F(MainFormTest, WallpaperWithoutADesktopSaysSoAndKeepsTheFile)
{
    StartUp();
    log.WallpaperTaken = false;
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    window->mWallpaper->trigger();
    EXPECT_TRUE(message.contains(QStringLiteral("wallpaper")));
    // The path as a person reads it, without the doubled delimiter.
    EXPECT_TRUE(message.contains(" " + QDir::cleanPath(Folder("Wallpaper.jpg")) + "."))
        << message.toStdString();
    EXPECT_TRUE(QFile::exists(Folder("Wallpaper.jpg")));
}

TEST_F(MainFormTest, HelpOpensTheHelpFileIsSilentWithoutItAndSaysWhenNoProgramShowsIt)
{
    StartUp();
    window->mContents->trigger();
    EXPECT_TRUE(log.Helps.isEmpty());

    folder.write(QStringLiteral("help.html"), "<html></html>");
    window->btnHelp->trigger();
    EXPECT_EQ(log.Helps, QStringList({folder.path() + QStringLiteral("//help.html")}));

    log.HelpShown = false;
    QString message;
    AnswerMessageBox(QMessageBox::Ok, &message);
    window->mContents->trigger();
    EXPECT_TRUE(message.startsWith(QStringLiteral("No program could show the help page")));
    EXPECT_TRUE(message.contains(QDir::cleanPath(Folder("help.html")))) << message.toStdString();
}

TEST_F(MainFormTest, SupportAndWebOpenTheirAddresses)
{
    window = MakeWindow();
    window->SpTBXItem7->trigger();
    window->SpTBXItem8->trigger();
    ASSERT_EQ(log.Addresses.size(), 2);
    EXPECT_TRUE(log.Addresses[0].startsWith(QStringLiteral("mailto:")));
    EXPECT_TRUE(log.Addresses[1].startsWith(QStringLiteral("https:")));
}

// --- The exception wrapper -------------------------------------------------------------

TEST_F(MainFormTest, AnExceptionFromAHandlerIsShownAndEndsOnlyThatCommand)
{
    window = MakeWindow();
    QString message;
    QString caption;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        message = box->text();
        caption = box->windowTitle();
        box->accept();
    });
    bool after = false;
    auto handler =
        Guarded(window.get(), [] { throw std::runtime_error("Cannot open file x.okx"); });
    handler(true);
    after = true;
    EXPECT_TRUE(after);
    EXPECT_EQ(message, QStringLiteral("Cannot open file x.okx"));
    EXPECT_EQ(caption, QStringLiteral("Orvo"));
}

// --- The real program folder ------------------------------------------------------------

TEST(MainFormSmoke, TheProgramFolderShowsTheDefaultFrameAroundTheDefaultPhoto)
{
    // The build's program folder: named by the environment, else beside the
    // test folder.
    QString programDir = qEnvironmentVariable("ORVO_PROGRAM_DIR");
    if (programDir.isEmpty())
        programDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    if (programDir.isEmpty() || !QFile::exists(programDir + QStringLiteral("/Default.png")) ||
        !QFile::exists(programDir + QStringLiteral("/Default.jpg")))
        GTEST_SKIP() << "the program folder's content is not built";
    TScopedSettings settings;
    ASSERT_TRUE(QFile::exists(settings.writeIni(QStringLiteral("Brimlow"), "[General]\nTips=0\n")));
    TDesktopServices services;
    TDesktopLog log;
    services.Wallpaper = std::make_unique<TFakeWallpaper>(&log);
    services.Help = std::make_unique<TFakeHelp>(&log);
    services.Addresses = std::make_unique<TFakeAddresses>(&log);
    const QString folder = programDir + QLatin1Char('/');
    TfrmMain window(std::move(services), [folder] { return folder; });
    window.ShowMaximised();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.QynKadrix1->Photo->Loaded; }));

    const QImage shot = window.QynKadrix1->grab().toImage();
    const TGPRect frame = window.QynKadrix1->GetFrameRect();
    ASSERT_GT(frame.Width, 100);
    // White canvas outside the frame, the frame's band at its edge, the
    // photo in the middle: neither is plain white.
    EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    const QRgb band = shot.pixel(frame.X + 4, frame.Y + frame.Height / 2);
    const QRgb middle = shot.pixel(frame.X + frame.Width / 2, frame.Y + frame.Height / 2);
    EXPECT_NE(band & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(middle & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(band, middle);
}
