#pragma once

// The picture-open dialog of the batch wizard's photos: besides the files of
// its filters, every name typed into the name box that is an existing file is
// taken, whatever its type, one name or several in quotes.

#include "OpenPictureDialog.h"

class QLineEdit;

class TTypedNamesDialog : public TOpenPictureDialog
{
    Q_OBJECT

public:
    TTypedNamesDialog(QWidget* parent, const QStringList& Filters, TLastFolder LastFolder = {});

    // Runs the dialog; the chosen files, none when it was cancelled.
    QStringList Choose();

    // The names in the name box as full paths: the quoted names when there
    // are quotes, else the whole text; relative ones are in the folder shown.
    QStringList TypedFiles() const;

    void accept() override;

private:
    // True when names are typed and every one is an existing file.
    bool TypedFilesExist() const;
    void EnableOpen();

    QLineEdit* m_name = nullptr;
    QStringList m_typed;
};
