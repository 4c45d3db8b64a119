// The "Save As" dialog: a folder typed into the name box and Enter goes into
// that folder and leaves the box ready for a file name.

#include "ModalDriver.h"
#include "SaveAsDialog.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
struct TAfterFolder
{
    QString Folder;
    QString Name;
    bool SaveEnabled = false;
    bool CompletionShown = true;
};

// Types Folder into the name box of the next Save As and Enter, records what
// the dialog shows then, and saves under Name.
void EnterFolderThenSave(const QString& Folder, const QString& Name, TAfterFolder* seen)
{
    WhenModal<QFileDialog>([=](QFileDialog* shown) {
        auto* edit = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const auto* buttons = shown->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_TRUE(edit && buttons && edit->completer());
        shown->activateWindow();
        edit->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), 10000);
        edit->selectAll();
        QTest::keyClicks(edit, Folder);
        QTest::keyClick(edit, Qt::Key_Return);
        // Settled once the name box no longer holds the folder typed.
        const bool settled =
            QTest::qWaitFor([&] { return !shown->isVisible() || edit->text() != Folder; }, 2000);
        QCoreApplication::processEvents();
        ASSERT_TRUE(settled && shown->isVisible());
        seen->Folder = shown->directory().absolutePath();
        seen->Name = edit->text();
        seen->SaveEnabled = buttons->button(QDialogButtonBox::Save)->isEnabled();
        seen->CompletionShown =
            edit->completer()->popup()->isVisible() || QApplication::activePopupWidget() != nullptr;
        edit->selectAll();
        QTest::keyClicks(edit, Name);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}
} // namespace

TEST(SaveAsDialogTest, AFolderTypedAndEnterEntersItAndTheNameBoxIsReadyForTheName)
{
    TTempDir folder;
    const QString first = folder.file(QStringLiteral("first"));
    const QString second = first + QStringLiteral("/second");
    ASSERT_TRUE(QDir().mkpath(second));
    TSaveAsDialog dialog(nullptr, QStringLiteral("*.jpg (*.jpg)"), QStringLiteral("JPG"));

    // No name offered: the box is emptied and "Save" waits for a name.
    TAfterFolder seen;
    EnterFolderThenSave(first, QStringLiteral("framed"), &seen);
    EXPECT_EQ(dialog.Choose(), first + QStringLiteral("/framed.JPG"));
    EXPECT_EQ(seen.Folder, first);
    EXPECT_EQ(seen.Name, QString());
    EXPECT_FALSE(seen.SaveEnabled);
    EXPECT_FALSE(seen.CompletionShown);

    // The name offered (the one saved last) comes back into the box. A
    // folder named as it lies in the folder shown is gone into too.
    seen = TAfterFolder();
    EnterFolderThenSave(QStringLiteral("second"), QString(), &seen);
    EXPECT_EQ(dialog.Choose(), second + QStringLiteral("/framed.JPG"));
    EXPECT_EQ(seen.Folder, second);
    EXPECT_EQ(seen.Name, QStringLiteral("framed.JPG"));
    EXPECT_TRUE(seen.SaveEnabled);
    EXPECT_FALSE(seen.CompletionShown);
}
