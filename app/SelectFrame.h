#pragma once

// "Select Frame": one frame file chosen out of the frame categories of the
// program folder. The categories and files are listed by the main window's
// own folder operations (through frmMain); the thumbnails are drawn on the
// browser's worker. The choice is the state of thuFrame.

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QPushButton;
class TPicThumb;

class TfrmSelectFrame : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSelectFrame(QWidget* parent = nullptr);
    ~TfrmSelectFrame() override;

    // Fills the category list, selects the first category and lists it.
    void FormShow();
    // Stops and clears the browser, then lists the category's frame files and
    // starts their thumbnails. A blank category lists nothing.
    void lsbFrameChange();

    QLabel* lblFrame = nullptr;
    QComboBox* lsbFrame = nullptr;
    TPicThumb* thuFrame = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The program folder's "Frame/" folder; empty without a main window.
    QString FrameFolder() const;
};

// The picker the batch framing wizard opened last.
extern QPointer<TfrmSelectFrame> frmSelectFrame;
