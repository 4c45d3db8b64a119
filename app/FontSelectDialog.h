#pragma once

// "Select Font": a small font dialog of our own with the text colour, since
// the toolkit's font dialog has none. It offers scalable fonts, an integer
// point size, bold, italic, underline, strike-out and a colour chosen through
// the colour dialog.

#include <QColor>
#include <QDialog>
#include <QFont>

class QCheckBox;
class QFontComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TFontSelectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TFontSelectDialog(QWidget* parent = nullptr);

    // Family, point size and style are shown in the controls.
    void SetSelectedFont(const QFont& font);
    // A new font of the chosen family, point size and style.
    QFont SelectedFont() const;
    void SetSelectedColor(const QColor& color);
    QColor SelectedColor() const { return m_color; }

    // Asks the colour dialog for a new text colour.
    void btnColorClick();

    QFontComboBox* cbxName = nullptr;
    QSpinBox* edtSize = nullptr;
    QCheckBox* chkBold = nullptr;
    QCheckBox* chkItalic = nullptr;
    QCheckBox* chkUnderline = nullptr;
    QCheckBox* chkStrikeOut = nullptr;
    QPushButton* btnColor = nullptr;
    QLabel* lblSample = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void UpdateSample();

    QString m_family;
    QColor m_color = Qt::black;
};
