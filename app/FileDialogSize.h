#pragma once

// The size the program's file dialogs open at: wide enough for the places,
// the detailed file list with its name, size, type and date columns, and the
// preview of a picture dialog. The size, type and date columns take what
// their texts need and the name takes the rest, so none is cut short.

class QFileDialog;

constexpr int kFileDialogWidth = 1040;
constexpr int kFileDialogHeight = 560;
constexpr int kFileDialogPlacesWidth = 150;

// Sizes Dialog and its columns, and shows it in the detailed view.
void SizeFileDialog(QFileDialog& Dialog);
