#include "DesignerWidgets.h"

#include "DecodeBudget.h"
#include "MyGdiPlus.h"
#include "OpenPictureDialog.h"
#include "PictureFile.h"
#include "WaitCursor.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace DesignerWidgets {

QSlider* TrackBar(int Minimum, int Maximum, int Value)
{
    auto* bar = new QSlider(Qt::Horizontal);
    bar->setRange(Minimum, Maximum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(Value);
    return bar;
}

QLineEdit* NumberEdit(int Value)
{
    auto* edit = new QLineEdit(QString::number(Value));
    edit->setFixedWidth(41);
    return edit;
}

QPushButton* Button(const QString& Caption)
{
    auto* button = new QPushButton(Caption);
    button->setAutoDefault(false);
    button->setMinimumWidth(75);
    return button;
}

QFrame* Framed(QWidget* Widget)
{
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(Widget);
    return frame;
}

TOpenPictureDialog* PictureDialog(QWidget* parent, const QString& Filter)
{
    return new TOpenPictureDialog(parent, TOpenPictureDialog::NameFilters(Filter));
}

QImage ChooseBackgroundPicture(TOpenPictureDialog& Dialog, const QString& ProgramFolder)
{
    Dialog.SetStartFolder(ProgramFolder + QStringLiteral("bkpic"));
    const QString file = Dialog.ChooseFile();
    if (file.isEmpty())
        return QImage();
    // The picture goes into a frame file as JPEG: one that the file's budget
    // or JPEG could not hold is refused now, not when the saved frame is
    // loaded.
    const QSize size = ImageFileSize(file);
    CheckPictureSize(file, size, QImage::Format_Invalid, FrameFileBudget);
    CheckJpegSize(size);
    const TWaitCursor waitCursor;
    return ReadPictureFile(file);
}

} // namespace DesignerWidgets
