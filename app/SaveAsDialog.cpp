#include "SaveAsDialog.h"

#include "FileDialogCompletion.h"
#include "FileDialogSize.h"

#include <QFileDialog>
#include <QFileInfo>

#include <memory>
#include <utility>

namespace {

// File with Suffix added when its name has none. Not left to the file dialog:
// it adds its suffix to a name that is no folder of the process's working
// folder, so the name of a folder in the one shown was saved to as a file
// ("summer" as summer.JPG beside it) instead of being gone into.
QString WithSuffix(const QString& File, const QString& Suffix)
{
    if (File.isEmpty() || Suffix.isEmpty() || QFileInfo(File).fileName().contains(QLatin1Char('.')))
        return File;
    return File + QLatin1Char('.') + Suffix;
}

} // namespace

TSaveAsDialog::TSaveAsDialog(QWidget* Owner, QString Filter, QString DefaultSuffix)
    : m_owner(Owner), m_filter(std::move(Filter)), m_suffix(std::move(DefaultSuffix))
{}

QString TSaveAsDialog::Choose()
{
    const auto dialog = std::make_unique<QFileDialog>(m_owner, QStringLiteral("Save As"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({m_filter});
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    SizeFileDialog(*dialog);
    QString offered;
    if (const QFileInfo last(m_file); !m_file.isEmpty() && last.absolutePath() == m_folder)
        offered = last.fileName();
    SettleFolderChange(*dialog, offered);
    if (!m_history.isEmpty())
        dialog->setHistory(m_history);
    if (!m_folder.isEmpty())
        dialog->setDirectory(m_folder);
    if (!offered.isEmpty())
        dialog->selectFile(offered);

    const bool accepted = dialog->exec() == QDialog::Accepted;
    m_folder = dialog->directory().absolutePath();
    m_history = dialog->history();
    if (!accepted)
        return QString();
    const QString file = WithSuffix(dialog->selectedFiles().value(0), m_suffix);
    if (!file.isEmpty()) {
        m_file = file;
        m_folder = QFileInfo(file).absolutePath();
    }
    return file;
}
