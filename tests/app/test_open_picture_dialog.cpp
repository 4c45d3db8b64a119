// The picture-open dialog: the preview of the selected picture, the folder it
// opens in, and a dialog closed with Enter that leaves nothing on the screen;
// and a folder typed into the name box, in it and in Save As.

#include "ModalDriver.h"
#include "OpenPictureDialog.h"
#include "PreviewLoader.h"
#include "SaveAsDialog.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Points the user's pictures folder at a place of the test's own for the
// lifetime of the object, through the user-dirs file of the configuration
// folder.
class TScopedPictures
{
public:
    explicit TScopedPictures(const QString& Pictures)
        : m_old(qgetenv("XDG_CONFIG_HOME")), m_hadOld(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        QFile dirs(m_config.file(QStringLiteral("user-dirs.dirs")));
        if (dirs.open(QIODevice::WriteOnly))
            dirs.write("XDG_PICTURES_DIR=\"" + Pictures.toUtf8() + "\"\n");
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }
    ~TScopedPictures()
    {
        if (m_hadOld)
            qputenv("XDG_CONFIG_HOME", m_old);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

private:
    TTempDir m_config;
    QByteArray m_old;
    bool m_hadOld;
};

QStringList PictureFilters()
{
    return TOpenPictureDialog::NameFilters(
        QStringLiteral("All |*.jpg;*.png|Png Image File(*.png)|*.png"));
}

// Waits until the dialog's folder model has listed Folder.
void WaitForListing(QFileDialog& Dialog, const QString& Folder, int Count)
{
    auto* model = Dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(Folder)), Count, 10000);
}

// Types Folder into the next Save As's name box and Enter; the dialog must
// then show Entered with Name in the box and no completion list, "Save"
// enabled by a name only. Saves as "framed" when the box is empty.
void EnterFolderAndSave(const QString& Folder, const QString& Entered, const QString& Name)
{
    WhenModal<QFileDialog>([=](QFileDialog* shown) {
        auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const auto* buttons = shown->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_TRUE(edit && buttons);
        shown->activateWindow();
        edit->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), 10000);
        edit->selectAll();
        QTest::keyClicks(edit, Folder);
        QTest::keyClick(edit, Qt::Key_Return);
        const bool settled =
            QTest::qWaitFor([&] { return !shown->isVisible() || edit->text() != Folder; }, 2000);
        QCoreApplication::processEvents();
        ASSERT_TRUE(settled && shown->isVisible());
        EXPECT_EQ(shown->directory().absolutePath(), Entered);
        EXPECT_EQ(edit->text(), Name);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Save)->isEnabled(), !Name.isEmpty());
        EXPECT_FALSE(edit->completer()->popup()->isVisible());
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        QTest::keyClicks(edit, Name.isEmpty() ? QStringLiteral("framed") : QString());
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

class OpenPictureDialogTest : public ::testing::Test
{
protected:
    void TearDown() override { StopModalDrivers(); }

    TTempDir folder;
};

} // namespace

TEST_F(OpenPictureDialogTest, PreviewComesLaterFromAnotherThreadWithItsSizeAndNothingForABrokenFile)
{
    const QString photo = folder.file(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(MakeGradient(1200, 800).save(photo, "JPG"));
    ASSERT_TRUE(MakeSolid(100, 400, Qt::red).save(folder.file(QStringLiteral("tall.png")), "PNG"));
    folder.write(QStringLiteral("broken.jpg"), "no picture in here");

    TOpenPictureDialog dialog(nullptr, PictureFilters());
    dialog.setDirectory(folder.path());
    dialog.show();
    WaitForListing(dialog, folder.path(), 3);
    auto* loader = dialog.findChild<TPreviewLoader*>();
    ASSERT_NE(loader, nullptr);
    QSignalSpy ready(loader, &TPreviewLoader::Ready);

    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    // A name typed selects its file in the list; the selection returns before
    // the picture is decoded.
    edit->setText(QStringLiteral("photo.jpg"));
    EXPECT_TRUE(dialog.PreviewPicture().isNull());
    // Decoded at the preview's size, not at the photo's.
    QTRY_COMPARE_WITH_TIMEOUT(dialog.PreviewPicture().size(), QSize(240, 160), 10000);
    EXPECT_EQ(dialog.PreviewText(), QStringLiteral("1200 x 800"));

    edit->setText(QStringLiteral("tall.png"));
    QTRY_COMPARE_WITH_TIMEOUT(dialog.PreviewPicture().size(), QSize(60, 240), 10000);
    EXPECT_EQ(dialog.PreviewText(), QStringLiteral("100 x 400"));

    ready.clear();
    edit->setText(QStringLiteral("broken.jpg"));
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 10000);
    EXPECT_TRUE(dialog.PreviewPicture().isNull());
    EXPECT_TRUE(dialog.PreviewText().isEmpty());
}

TEST_F(OpenPictureDialogTest, OpensInItsOwnFolderElseTheLastUsedElseThePictures)
{
    const QString pictures = folder.file(QStringLiteral("Pictures"));
    const QString last = folder.file(QStringLiteral("last"));
    const QString fixed = folder.file(QStringLiteral("bkpic"));
    for (const QString& path : {pictures, last, fixed})
        ASSERT_TRUE(QDir().mkpath(path));
    const TScopedPictures scoped(pictures);

    EXPECT_EQ(TOpenPictureDialog::StartFolder(QString(), QString()), pictures);
    EXPECT_EQ(TOpenPictureDialog::StartFolder(QString(), last), last);
    EXPECT_EQ(TOpenPictureDialog::StartFolder(fixed, last), fixed);
    // A folder that has gone since.
    EXPECT_EQ(TOpenPictureDialog::StartFolder(QString(), folder.file(QStringLiteral("gone"))),
              pictures);
    ASSERT_TRUE(QDir(pictures).removeRecursively());
    EXPECT_EQ(TOpenPictureDialog::StartFolder(QString(), QString()), QDir::homePath());
}

TEST_F(OpenPictureDialogTest, TheFolderLastUsedIsKeptForTheNextDialogThatSharesIt)
{
    const QString photo = folder.file(QStringLiteral("photo.png"));
    ASSERT_TRUE(MakeSolid(8, 8, Qt::blue).save(photo, "PNG"));
    TLastFolder last;
    {
        TOpenPictureDialog first(nullptr, PictureFilters(), QFileDialog::ExistingFiles, last);
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(photo);
            static_cast<QDialog*>(dialog)->accept();
        });
        EXPECT_EQ(first.Choose(), QStringList{photo});
    }
    TOpenPictureDialog second(nullptr, PictureFilters(), QFileDialog::ExistingFile, last);
    QString opened;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        opened = dialog->directory().absolutePath();
        dialog->reject();
    });
    EXPECT_TRUE(second.ChooseFile().isEmpty());
    EXPECT_EQ(opened, QDir(folder.path()).absolutePath());
}

TEST_F(OpenPictureDialogTest, NameTypedAndEnterLeavesNoCompletionAndTheNextClickCounts)
{
    const QString photo = folder.file(QStringLiteral("photo.png"));
    ASSERT_TRUE(MakeSolid(8, 8, Qt::blue).save(photo, "PNG"));
    ASSERT_TRUE(MakeSolid(8, 8, Qt::red).save(folder.file(QStringLiteral("photos.png")), "PNG"));

    QWidget window;
    auto* next = new QPushButton(QStringLiteral("Next"), &window);
    next->setGeometry(0, 0, 400, 300);
    window.resize(400, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(next, &QPushButton::clicked);

    TOpenPictureDialog dialog(&window, PictureFilters());
    dialog.SetStartFolder(folder.path());
    QCompleter* completer = nullptr;
    WhenModal<QFileDialog>([&](QFileDialog* shown) {
        WaitForListing(*shown, folder.path(), 2);
        auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        completer = edit->completer();
        ASSERT_NE(completer, nullptr);
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("photo.png"));
        QTRY_VERIFY_WITH_TIMEOUT(completer->popup()->isVisible(), 10000);
        // Enter reaches the name box with the list still open, as it does
        // on an X server.
        QTest::keyClick(edit, Qt::Key_Return);
        if (shown->isVisible())
            shown->reject();
    });
    EXPECT_EQ(dialog.ChooseFile(), photo);
    ASSERT_NE(completer, nullptr);
    QCoreApplication::processEvents();
    EXPECT_FALSE(completer->popup()->isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(OpenPictureDialogTest, ReopenedItChoosesTheFileOpenedLastWithItsPreviewAndOpenEnabled)
{
    const QString photo = folder.file(QStringLiteral("a.png"));
    ASSERT_TRUE(MakeSolid(8, 8, Qt::blue).save(photo, "PNG"));
    const QString sub = folder.file(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(sub));
    TOpenPictureDialog dialog(nullptr, PictureFilters());
    dialog.SetStartFolder(folder.path());
    AnswerFileDialog(photo);
    ASSERT_EQ(dialog.ChooseFile(), photo);

    // Shown again, a.png is chosen and previewed; cancelled in another folder
    // with another name typed, it comes back the same way.
    for (int showing = 0; showing < 2; ++showing) {
        WhenModal<QFileDialog>([&](QFileDialog* shown) {
            WaitForListing(*shown, folder.path(), 2);
            auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            const auto* buttons = shown->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            ASSERT_TRUE(edit && buttons);
            EXPECT_EQ(edit->text(), QStringLiteral("a.png"));
            EXPECT_EQ(shown->selectedFiles(), QStringList{photo});
            EXPECT_TRUE(buttons->button(QDialogButtonBox::Open)->isEnabled());
            QTRY_COMPARE_WITH_TIMEOUT(dialog.PreviewPicture().size(), QSize(8, 8), 10000);
            shown->setDirectory(sub);
            edit->setText(QStringLiteral("b.png"));
            shown->reject();
        });
        EXPECT_TRUE(dialog.ChooseFile().isEmpty());
    }
}

TEST_F(OpenPictureDialogTest, AFolderTypedAndEnterOpensItWithoutTheCompletionList)
{
    // The dialog shows another folder, so the typed folder's own is still
    // unlisted while its name is typed and the completion finds no match.
    const QString start = folder.file(QStringLiteral("start"));
    const QString pictures = folder.file(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(start) && QDir().mkpath(pictures));
    ASSERT_TRUE(MakeSolid(8, 8, Qt::blue).save(pictures + QStringLiteral("/photo.png"), "PNG"));

    TOpenPictureDialog dialog(nullptr, PictureFilters());
    dialog.SetStartFolder(start);
    bool entered = false;
    WhenModal<QFileDialog>([&](QFileDialog* shown) {
        auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        QCompleter* completer = edit->completer();
        shown->activateWindow();
        edit->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), 10000);
        QTest::keyClicks(edit, pictures);
        QTest::keyClick(edit, Qt::Key_Return);
        WaitForListing(*shown, pictures, 1);
        entered = shown->isVisible() && shown->directory().absolutePath() == pictures;
        QCoreApplication::processEvents();
        EXPECT_FALSE(completer->popup()->isVisible());
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        shown->reject();
    });
    dialog.ChooseFile();
    EXPECT_TRUE(entered);
}

TEST_F(OpenPictureDialogTest, SaveAsGoesIntoAFolderTypedAndTheNameBoxGetsTheNameBack)
{
    const QString first = folder.file(QStringLiteral("first"));
    const QString second = first + QStringLiteral("/second");
    ASSERT_TRUE(QDir().mkpath(second));
    TSaveAsDialog dialog(nullptr, QStringLiteral("*.jpg (*.jpg)"), QStringLiteral("JPG"));
    // No name offered yet: the box is emptied.
    EnterFolderAndSave(first, first, QString());
    EXPECT_EQ(dialog.Choose(), first + QStringLiteral("/framed.JPG"));
    // The name saved last comes back, also after a folder named as it lies in
    // the folder shown (not saved to as "second.JPG").
    EnterFolderAndSave(QStringLiteral("second"), second, QStringLiteral("framed.JPG"));
    EXPECT_EQ(dialog.Choose(), second + QStringLiteral("/framed.JPG"));
}
