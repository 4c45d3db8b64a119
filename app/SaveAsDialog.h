#pragma once

// The "Save As" dialog of a command that writes a file. It asks nothing about
// files that exist: the command does. A file dialog is made anew for every
// showing, so that its list shows the folder as it is now: one kept from the
// last showing would go on showing a file overwritten in place since with its
// old size and time, as no folder entry changed that its list would hear of.
// Each showing opens in the folder, with the name and the folder history of
// the one before. A folder typed into the name box is gone into, and the box
// then holds that name again, or nothing (FileDialogCompletion.h).

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class TSaveAsDialog
{
public:
    // Filter: the name filter; DefaultSuffix: added to a name typed without one.
    TSaveAsDialog(QWidget* Owner, QString Filter, QString DefaultSuffix);
    TSaveAsDialog(const TSaveAsDialog&) = delete;
    TSaveAsDialog& operator=(const TSaveAsDialog&) = delete;

    // Runs a dialog; the chosen file, empty when it was cancelled.
    QString Choose();

private:
    QPointer<QWidget> m_owner;
    QString m_filter;
    QString m_suffix;
    QString m_folder;
    QString m_file;
    QStringList m_history;
};
