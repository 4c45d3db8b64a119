#pragma once

// What a file dialog does once it has gone into another folder (a folder
// typed into the name box and Enter, a double click, the folder buttons).
//
// The completion list stays away: the file dialog makes the new folder the
// completion's prefix, and a list that was hidden for want of a match while
// the folder above was still being listed opens again once the new folder is
// listed: over "Files of type", taking the next click.
//
// A name box that named the folder gone into (typed, or ".." and the like)
// takes Name instead, empty or the name the dialog offered, so that it holds
// a file name again and the accept button follows it. The open dialogs empty
// it themselves; a save dialog would keep the folder there, its button greyed.

#include <QString>

class QFileDialog;

void SettleFolderChange(QFileDialog& Dialog, const QString& Name = QString());
