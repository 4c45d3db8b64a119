#pragma once

// The print dialog: the framed picture on a sheet of the current printer's
// paper, placed by mouse or at one of nine positions, the printer set-up and
// printing.

#include <QDialog>
#include <QPointer>

#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTabWidget;
class QToolButton;
class TPrinterDevice;
class TPrintPrevew;

class TfrmPrintPic : public QDialog
{
    Q_OBJECT

public:
    // Prints on the desktop's current printer.
    explicit TfrmPrintPic(QWidget* Owner);
    // Prints on Printer.
    TfrmPrintPic(std::unique_ptr<TPrinterDevice> Printer, QWidget* Owner);

    // "Print": prints the picture where it stands on the sheet.
    void SpTBXButton2Click();
    // "Print Setup": the printer set-up dialog; a confirmed set-up lays the
    // sheet out anew on the next paint. Without a printer a message says
    // that none is installed.
    void SpTBXButton1Click();
    // Every position button: places the picture at the button's Tag, fitted
    // first when "Auto fit" is checked.
    void SpTBXSpeedButton1Click(QToolButton* Sender);

    // The position a button stands for.
    static int Tag(const QToolButton* Button);

    QTabWidget* TabControl = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    QPushButton* SpTBXButton1 = nullptr;
    QGroupBox* AlignGroup = nullptr;
    // Row by row, left to right, as they stand in the grid.
    std::array<QToolButton*, 9> SpeedButtons{};
    QToolButton* SpTBXSpeedButton1 = nullptr;
    QToolButton* SpTBXSpeedButton2 = nullptr;
    QToolButton* SpTBXSpeedButton3 = nullptr;
    QToolButton* SpTBXSpeedButton4 = nullptr;
    QToolButton* SpTBXSpeedButton5 = nullptr;
    QToolButton* SpTBXSpeedButton6 = nullptr;
    QToolButton* SpTBXSpeedButton7 = nullptr;
    QToolButton* SpTBXSpeedButton8 = nullptr;
    QToolButton* SpTBXSpeedButton9 = nullptr;
    QCheckBox* SpTBXCheckBox1 = nullptr;
    TPrintPrevew* PrintPrevew1 = nullptr;
};

// The dialog the last Print command opened; empty once it has closed.
extern QPointer<TfrmPrintPic> frmPrintPic;
