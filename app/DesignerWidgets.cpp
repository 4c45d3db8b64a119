#include "DesignerWidgets.h"

#include "MyGdiPlus.h"

#include <QFileDialog>
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

QStringList NameFilters(const QString& Filter)
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // The file dialog reads the patterns from the last brackets.
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QFileDialog* PictureDialog(QWidget* parent, const QString& Filter)
{
    auto* dialog = new QFileDialog(parent, QStringLiteral("Open"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setNameFilters(NameFilters(Filter));
    return dialog;
}

QImage ChooseBackgroundPicture(QFileDialog& Dialog, const QString& ProgramFolder)
{
    Dialog.setDirectory(ProgramFolder + QStringLiteral("bkpic"));
    if (Dialog.exec() != QDialog::Accepted)
        return QImage();
    const QStringList chosen = Dialog.selectedFiles();
    return chosen.isEmpty() ? QImage() : DecodeImageFile(chosen.first());
}

} // namespace DesignerWidgets
