#pragma once

// The tip of the day: a small modal dialog that steps through three fixed
// hints and carries the setting whether it is shown at start-up.

#include <QDialog>

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

class TfrmTips : public QDialog
{
    Q_OBJECT

public:
    // Each tip is a question line and an answer line joined by "\n\r".
    static const std::array<QString, 3> TipTexts;

    explicit TfrmTips(QWidget* parent = nullptr);

    // Starts every showing with the first tip.
    void FormShow();
    // "&Next Tip": the next tip, after the last the first again.
    void Button1Click();
    // "&OK": closes the dialog.
    void Button2Click();
    // Every close, by "&OK" or by the title bar: stores the check box.
    void FormClose();

    int TipIndex = 0;

    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Image1 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Shape1 = nullptr;
    QLabel* lblMessage = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    // accept() and reject() end here, never in closeEvent.
    void done(int result) override;

private:
    void ShowTip();
};

// At start-up: shows the dialog, with the box checked, only when the setting
// asks for it.
void ShowTipsAtStartup();
// The Help menu's "Tip of the days": always shows the dialog, the box showing
// the setting.
void ShowTips();
