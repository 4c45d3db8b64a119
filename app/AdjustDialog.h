#pragma once

// What the three colour adjustment dialogs share: "&OK" and "&Cancel", the
// place beside the main window's right edge, the live preview of the photo on
// the main window's canvas while the dialog is open, and the effect applied to
// the photo on "&OK". A dialog lives for one use and frees itself when closed.

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QSlider;
class TEffectBase;
class TQynKadrix;

class TfrmAdjustBase : public QDialog
{
    Q_OBJECT

public:
    // Caption and client size are fixed; Owner is the main window.
    TfrmAdjustBase(const QString& Caption, int ClientWidth, int ClientHeight, QWidget* Owner);

    // The effect of the current track bar positions, newly built.
    virtual std::unique_ptr<TEffectBase> BuildEffect() const = 0;

    // Places the dialog 10 pixels from the owner's right edge and 60 below its
    // top, then previews the starting positions.
    virtual void FormShow();
    // Every track bar's change: the photo previewed with the positions.
    void PreviewChange();
    // "&OK": the effect goes to the photo's history, then the dialog closes.
    void SpTBXButton1Click();
    // "&Cancel": closes the dialog; the photo stays as it was.
    void SpTBXButton2Click();
    // Every way of closing: the canvas leaves preview mode.
    void FormClose();

    QPushButton* SpTBXButton1 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;

protected:
    // The main window's canvas, reached through frmMain; null without it.
    static TQynKadrix* Canvas();
    static void SetPreviewMode(bool Value);
    // A horizontal track bar with its label; changes run Handler.
    QSlider* AddTrackBar(QLabel*& Label, const QString& Caption, const QRect& LabelRect,
                         const QRect& BarRect, int Min, int Max, int Start,
                         std::function<void()> Handler);

    void showEvent(QShowEvent* event) override;
    // accept(), reject() and the title bar's close button all end here.
    void done(int result) override;
};
