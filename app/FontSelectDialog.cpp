#include "FontSelectDialog.h"

#include "HandlerGuard.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kMinPointSize = 1;
constexpr int kMaxPointSize = 500;

QIcon Swatch(const QColor& color)
{
    QPixmap pixmap(28, 14);
    pixmap.fill(color);
    QPainter g(&pixmap);
    g.setPen(Qt::black);
    g.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}
} // namespace

TFontSelectDialog::TFontSelectDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Font"));

    cbxName = new QFontComboBox(this);
    cbxName->setFontFilters(QFontComboBox::ScalableFonts);
    cbxName->setEditable(false);
    edtSize = new QSpinBox(this);
    edtSize->setRange(kMinPointSize, kMaxPointSize);
    chkBold = new QCheckBox(QStringLiteral("&Bold"), this);
    chkItalic = new QCheckBox(QStringLiteral("&Italic"), this);
    chkUnderline = new QCheckBox(QStringLiteral("&Underline"), this);
    chkStrikeOut = new QCheckBox(QStringLiteral("Stri&keout"), this);
    btnColor = new QPushButton(QStringLiteral("&Color..."), this);
    lblSample = new QLabel(QStringLiteral("AaBbYyZz"), this);
    lblSample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblSample->setAlignment(Qt::AlignCenter);
    lblSample->setMinimumSize(240, 70);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {btnColor, btnOK, btnCancel})
        button->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Font:"), cbxName);
    form->addRow(QStringLiteral("&Size:"), edtSize);
    auto* styles = new QHBoxLayout;
    for (QCheckBox* box : {chkBold, chkItalic, chkUnderline, chkStrikeOut})
        styles->addWidget(box);
    form->addRow(QStringLiteral("Style:"), styles);
    form->addRow(QStringLiteral("Colour:"), btnColor);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblSample, 1);
    layout->addLayout(buttons);

    connect(cbxName, &QFontComboBox::currentFontChanged, this, [this](const QFont& chosen) {
        m_family = chosen.family();
        UpdateSample();
    });
    connect(edtSize, &QSpinBox::valueChanged, this, [this] { UpdateSample(); });
    for (QCheckBox* box : {chkBold, chkItalic, chkUnderline, chkStrikeOut})
        connect(box, &QCheckBox::toggled, this, [this] { UpdateSample(); });
    connect(btnColor, &QPushButton::clicked, this, Guarded(this, [this] { btnColorClick(); }));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    SetSelectedFont(font());
}

void TFontSelectDialog::SetSelectedFont(const QFont& font)
{
    // A family the font list does not hold stays as typed.
    cbxName->setCurrentFont(QFont(font.family()));
    const int points = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    edtSize->setValue(points > 0 ? points : 8);
    chkBold->setChecked(font.bold());
    chkItalic->setChecked(font.italic());
    chkUnderline->setChecked(font.underline());
    chkStrikeOut->setChecked(font.strikeOut());
    m_family = font.family();
    UpdateSample();
}

QFont TFontSelectDialog::SelectedFont() const
{
    QFont font(m_family, edtSize->value());
    font.setBold(chkBold->isChecked());
    font.setItalic(chkItalic->isChecked());
    font.setUnderline(chkUnderline->isChecked());
    font.setStrikeOut(chkStrikeOut->isChecked());
    return font;
}

void TFontSelectDialog::SetSelectedColor(const QColor& color)
{
    m_color = color;
    btnColor->setIcon(Swatch(color));
    UpdateSample();
}

void TFontSelectDialog::btnColorClick()
{
    const QColor color = QColorDialog::getColor(m_color, this, QStringLiteral("Color"));
    if (color.isValid())
        SetSelectedColor(color);
}

void TFontSelectDialog::UpdateSample()
{
    QFont sample = SelectedFont();
    lblSample->setFont(sample);
    QPalette palette = lblSample->palette();
    palette.setColor(QPalette::WindowText, m_color);
    lblSample->setPalette(palette);
}
