#include "FileDialogCompletion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>

void KeepCompletionQuiet(QFileDialog& Dialog)
{
    auto* model = Dialog.findChild<QFileSystemModel*>();
    if (!model)
        return;
    // Queued: the file dialog sets the prefix after the folder has changed,
    // and the new folder is listed on another thread, later still. An empty
    // prefix matches no folder listed then; the next key typed sets the
    // prefix again.
    QObject::connect(
        model, &QFileSystemModel::rootPathChanged, &Dialog,
        [&Dialog] {
            auto* edit = Dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QCompleter* completion = edit ? edit->completer() : nullptr;
            if (!completion)
                return;
            completion->setCompletionPrefix(QString());
            if (QAbstractItemView* popup = completion->popup())
                popup->hide();
        },
        Qt::QueuedConnection);
}
