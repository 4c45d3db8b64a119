#pragma once

// "Ornate Frame": the designer of ornate frames. The square edge tile and
// its size, with a live preview; "OK" stores the design as a frame file.

#include "OrnateFrameDesign.h"
#include "ProgramFolder.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QString>

class TOpenPictureDialog;
class QLineEdit;
class QPainter;
class QPushButton;
class QSlider;
class TPaintBox;

class TfrmOrnateFrame : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmOrnateFrame(TProgramFolderFunc ProgramFolder = ExecutableFolder,
                             QWidget* parent = nullptr);
    ~TfrmOrnateFrame() override;

    // Fills the dialog from an ornate frame file and edits that file from
    // now on. The track bar clamps the tile size to 5 .. 80.
    void LoadFrame(const QString& FileName);
    // Writes the dialog's design to FileName.
    void SaveFrame(const QString& FileName);
    // Has the preview box painted again from the dialog's current values.
    void RedrawPreview();

    // The dialog's values as a design (TilePicture included).
    TOrnateFrameDesign Design() const;
    // What the preview box shows: the frame stretched over the box, on white.
    QImage PreviewImage() const;

    // --- Event handlers ------------------------------------------------------
    void tbFrameSizeChange();
    void edtFrameSizeChange();
    void pbPicClick();
    void pbPicPaint(QPainter& Painter);
    void PaintBox1Paint(QPainter& Painter);
    // "OK": stores the frame (a new one in the user category) and closes.
    void SpTBXButton1Click();
    // "Cancel".
    void SpTBXButton2Click();

    // The tile; null while none was chosen.
    QImage TilePicture;
    // The frame file being edited; empty for a new design until "OK".
    QString FrameFile;

    // --- Components ------------------------------------------------------------
    QSlider* tbFrameSize = nullptr;
    QLineEdit* edtFrameSize = nullptr;
    TPaintBox* pbPic = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QPushButton* SpTBXButton1 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    QPointer<TOpenPictureDialog> OpenPictureDialog1;

    // The preview box's size.
    static constexpr int PreviewWidth = 161;
    static constexpr int PreviewHeight = 153;

private:
    void CreateControls();
    void ConnectHandlers();

    TProgramFolderFunc m_programFolder;
};
