#pragma once

// The picture frame designer: the user loads a picture, places the grid of
// cuts over it, watches the resulting frame in a live preview and with "OK"
// stores the twelve pieces as a new picture frame file in the user frame
// folder.

#include "FrameSplit.h"
#include "ProgramFolder.h"

#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QString>

class TOpenPictureDialog;
class QFrame;
class QPushButton;
class QWidget;

class TfrmPictureFrame : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmPictureFrame(QWidget* parent = nullptr,
                              TProgramFolderFunc ProgramFolder = ExecutableFolder);

    // The grid over the split control, with its default cuts.
    void FormShow();
    // "Load picture": a picture chosen in the program folder onto the split
    // control, and the preview redrawn at once.
    void SpTBXButton3Click();
    // The preview: the frame as cut now, rendered at three times the box and
    // drawn into it; nothing before a picture is loaded.
    void PaintBox1Paint();
    // The end of every press on the split control: the preview follows.
    void FrameSplit1MouseUP();
    // "OK": stores the frame under a new name and closes with OK.
    void SpTBXButton1Click();
    // "Cancel".
    void SpTBXButton2Click();
    // Writes the pieces as a picture frame file (empty pieces without a
    // picture). Raises EFCreateError when the file cannot be written, and
    // EPictureTooLarge, writing nothing, when the pieces are more than a
    // frame file may hold.
    void SaveFrame(const QString& AFileName);

    // The frame Split would store, rendered at Width x Height; a null image
    // while it holds no picture.
    static QImage RenderPreview(TFrameSplit& Split, int Width, int Height);
    // ProgramFolder (ending with "/") + "/Frame/" + the user category
    // ("User" or "user", NewFrameFileName) + "/" + Now as
    // "YYYYMMDDHHMMSS" + ".okx". When that file exists already (two frames
    // within one second) "_2", "_3" ... goes before the extension, so an
    // earlier frame is never replaced.
    static QString NewFrameName(const QString& ProgramFolder, const QDateTime& Now);

    // The frame file written by "OK"; empty before.
    QString FileName;

    QFrame* pnSharp = nullptr;
    QFrame* SpTBXPanel2 = nullptr;
    TFrameSplit* FrameSplit1 = nullptr;
    QWidget* PaintBox1 = nullptr;
    QPushButton* SpTBXButton3 = nullptr;
    QPushButton* SpTBXButton1 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    QPointer<TOpenPictureDialog> OpenPictureDialog1;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TProgramFolderFunc m_programFolder;
    bool m_shown = false;
};

extern QPointer<TfrmPictureFrame> frmPictureFrame;
