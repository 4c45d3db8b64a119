#include "FileDialogCompletion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>

#include <memory>
#include <utility>

namespace {

// Whether Text, as the name box takes it in Left (a relative name lies in
// that folder, "~" is the home folder), is the folder Entered.
bool NamesFolder(QString Text, const QString& Left, const QString& Entered)
{
    if (Text.isEmpty())
        return false;
    if (Text == QLatin1String("~") || Text.startsWith(QLatin1String("~/")))
        Text = QDir::homePath() + Text.mid(1);
    return QDir::cleanPath(QDir(Left).absoluteFilePath(Text)) == QDir::cleanPath(Entered);
}

} // namespace

void SettleFolderChange(QFileDialog& Dialog, const QString& Name)
{
    auto* model = Dialog.findChild<QFileSystemModel*>();
    if (!model)
        return;
    auto shown = std::make_shared<QString>(model->rootPath());
    // Queued: the file dialog sets the prefix after the folder has changed,
    // and the new folder is listed on another thread, later still. An empty
    // prefix matches no folder listed then; the next key typed sets the
    // prefix again.
    QObject::connect(
        model, &QFileSystemModel::rootPathChanged, &Dialog,
        [&Dialog, Name, shown](const QString& Folder) {
            const QString left = std::exchange(*shown, Folder);
            auto* edit = Dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!edit)
                return;
            if (NamesFolder(edit->text(), left, Folder))
                edit->setText(Name);
            QCompleter* completion = edit->completer();
            if (!completion)
                return;
            completion->setCompletionPrefix(QString());
            if (QAbstractItemView* popup = completion->popup())
                popup->hide();
        },
        Qt::QueuedConnection);
}
