#include "TypedNamesDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

TTypedNamesDialog::TTypedNamesDialog(QWidget* parent, const QStringList& Filters,
                                     TLastFolder LastFolder)
    : TOpenPictureDialog(parent, Filters, QFileDialog::ExistingFiles, std::move(LastFolder)),
      m_name(findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
{
    // The file dialog enables "Open" for names its filter shows; this runs
    // after it and enables it for the other files too.
    if (m_name)
        connect(m_name, &QLineEdit::textChanged, this, [this] { EnableOpen(); });
}

QStringList TTypedNamesDialog::Choose()
{
    m_typed.clear();
    const QStringList chosen = TOpenPictureDialog::Choose();
    if (chosen.isEmpty() || m_typed.isEmpty())
        return chosen;
    return m_typed;
}

QStringList TTypedNamesDialog::TypedFiles() const
{
    if (!m_name)
        return {};
    const QString text = m_name->text().trimmed();
    QStringList names;
    if (text.contains(QLatin1Char('"'))) {
        const QStringList parts = text.split(QLatin1Char('"'));
        for (qsizetype i = 1; i < parts.size(); i += 2)
            if (!parts[i].isEmpty())
                names << parts[i];
    } else if (!text.isEmpty()) {
        names << text;
    }
    const QDir folder = directory();
    for (QString& name : names)
        name = QDir::cleanPath(folder.absoluteFilePath(name));
    return names;
}

bool TTypedNamesDialog::TypedFilesExist() const
{
    const QStringList files = TypedFiles();
    if (files.isEmpty())
        return false;
    for (const QString& file : files)
        if (!QFileInfo(file).isFile())
            return false;
    return true;
}

void TTypedNamesDialog::EnableOpen()
{
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (open && TypedFilesExist())
        open->setEnabled(true);
}

void TTypedNamesDialog::accept()
{
    if (!TypedFilesExist()) {
        QFileDialog::accept();
        return;
    }
    m_typed = TypedFiles();
    QDialog::accept();
}
