#pragma once

// "Save to PNG": the width, height and output file of a frame exported as a
// PNG picture. The export itself is TFramePngExport's.

#include "SaveAsDialog.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

class TfrmSavePNG : public QDialog
{
    Q_OBJECT

public:
    // ProgramFolder ends with "/"; the output starts as its "PNG/PngFrame.png".
    explicit TfrmSavePNG(const QString& ProgramFolder, QWidget* parent = nullptr);

    void FormCreate();
    // The "..." button of the output edit: SaveDialog1's choice replaces it.
    void edtOutputFileNameSubEditButton0Click();
    // A change of a size edit's text: a whole number within the edit's range
    // becomes its value at once; other numbers leave the value; a text that
    // is no whole number raises EConvertError.
    void edtWChange(QSpinBox* Sender);

    // The chosen output name and size.
    QString OutputFileName() const;
    int FrameWidth() const;
    int FrameHeight() const;

    QLabel* lblW = nullptr;
    QSpinBox* edtW = nullptr;
    QLabel* lblH = nullptr;
    QSpinBox* edtH = nullptr;
    QLabel* lblOutputFileName = nullptr;
    QLineEdit* edtOutputFileName = nullptr;
    QToolButton* edtOutputFileNameSubEditButton0 = nullptr;
    QPushButton* SpTBXButton1 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    std::unique_ptr<TSaveAsDialog> SaveDialog1;

private:
    QString m_programFolder;
};
