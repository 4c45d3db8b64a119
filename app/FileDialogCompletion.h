#pragma once

// Keeps a file dialog's completion list from opening on its own once the
// dialog has gone into another folder (a folder typed into the name box and
// Enter, a double click, the folder buttons). The file dialog then makes the
// new folder the completion's prefix, and a list that was hidden for want of
// a match while the folder above was still being listed opens again once the
// new folder is listed: over "Files of type", taking the next click.

class QFileDialog;

void KeepCompletionQuiet(QFileDialog& Dialog);
