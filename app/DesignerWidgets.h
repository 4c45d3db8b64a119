#pragma once

// Widgets and dialogs both frame designers build their windows from.

#include <QImage>
#include <QString>

class QFrame;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolButton;
class QWidget;
class TOpenPictureDialog;

namespace DesignerWidgets {

// A horizontal track bar over Minimum .. Maximum at Value, moving by 1 for
// the keyboard's line and page steps.
QSlider* TrackBar(int Minimum, int Maximum, int Value);
// A short numeric edit showing Value.
QLineEdit* NumberEdit(int Value);
// A push button that never becomes the default button by itself.
QPushButton* Button(const QString& Caption);
// Widget inside a thin sunken box of its own.
QFrame* Framed(QWidget* Widget);
// The picture-open dialog with the filter given as "text|patterns|..." pairs.
TOpenPictureDialog* PictureDialog(QWidget* parent, const QString& Filter);
// Runs the picture-open dialog in the program folder's "bkpic" folder and
// decodes the chosen picture; a null picture when nothing was chosen. A
// file that does not decode raises UnreadablePicture, and a picture larger
// than a frame file may hold (FrameFileBudget) EPictureTooLarge, both naming
// it: the caller keeps its earlier picture.
QImage ChooseBackgroundPicture(TOpenPictureDialog& Dialog, const QString& ProgramFolder);

} // namespace DesignerWidgets
