#include "SavePNGDialog.h"

#include "HandlerGuard.h"
#include "IntegerText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QSpinBox* SizeEdit(int minimum, int value)
{
    auto* edit = new QSpinBox;
    edit->setRange(minimum, 50000);
    edit->setValue(value);
    edit->setSingleStep(1);
    return edit;
}

} // namespace

TfrmSavePNG::TfrmSavePNG(const QString& ProgramFolder, QWidget* parent)
    : QDialog(parent), m_programFolder(ProgramFolder)
{
    setWindowTitle(QStringLiteral("Save to PNG"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(434, 215);

    lblW = new QLabel(QStringLiteral("Frame Width"));
    edtW = SizeEdit(0, 500);
    lblH = new QLabel(QStringLiteral("Frame Height"));
    edtH = SizeEdit(1, 400);
    lblOutputFileName = new QLabel(QStringLiteral("Output filename"));
    edtOutputFileName = new QLineEdit;
    edtOutputFileNameSubEditButton0 = new QToolButton;
    edtOutputFileNameSubEditButton0->setText(QStringLiteral("..."));
    SpTBXButton1 = new QPushButton(QStringLiteral("OK"));
    SpTBXButton2 = new QPushButton(QStringLiteral("Cancel"));
    for (QPushButton* button : {SpTBXButton1, SpTBXButton2})
        button->setAutoDefault(false);

    SaveDialog1 = std::make_unique<TSaveAsDialog>(this, QStringLiteral("*.png (*.png)"),
                                                  QStringLiteral("png"));

    auto* grid = new QGridLayout;
    grid->addWidget(lblW, 0, 0);
    grid->addWidget(edtW, 0, 1);
    grid->addWidget(lblH, 1, 0);
    grid->addWidget(edtH, 1, 1);
    grid->addWidget(lblOutputFileName, 2, 0);
    auto* output = new QHBoxLayout;
    output->setSpacing(2);
    output->addWidget(edtOutputFileName, 1);
    output->addWidget(edtOutputFileNameSubEditButton0);
    grid->addLayout(output, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(12);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SpTBXButton1);
    buttons->addWidget(SpTBXButton2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(edtOutputFileNameSubEditButton0, &QToolButton::clicked, this,
            Guarded(this, [this] { edtOutputFileNameSubEditButton0Click(); }));
    // The spin box signals only whole values; its editor signals every text.
    for (QSpinBox* edit : {edtW, edtH})
        connect(edit->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
                Guarded(this, [this, edit] { edtWChange(edit); }));
    connect(SpTBXButton1, &QPushButton::clicked, this, Guarded(this, [this] { accept(); }));
    connect(SpTBXButton2, &QPushButton::clicked, this, Guarded(this, [this] { reject(); }));

    RunGuarded(this, [this] { FormCreate(); });
}

void TfrmSavePNG::FormCreate()
{
    edtOutputFileName->setText(m_programFolder + QStringLiteral("PNG/PngFrame.png"));
}

void TfrmSavePNG::edtOutputFileNameSubEditButton0Click()
{
    const QString file = SaveDialog1->Choose();
    if (!file.isEmpty())
        edtOutputFileName->setText(file);
}

void TfrmSavePNG::edtWChange(QSpinBox* Sender)
{
    // The spin box shows no prefix or suffix, so its text is the number.
    const int value = StrToInt(Sender->text());
    if (value >= Sender->minimum() && value <= Sender->maximum() && value != Sender->value())
        Sender->setValue(value);
}

QString TfrmSavePNG::OutputFileName() const
{
    return edtOutputFileName->text();
}

int TfrmSavePNG::FrameWidth() const
{
    return edtW->value();
}

int TfrmSavePNG::FrameHeight() const
{
    return edtH->value();
}
