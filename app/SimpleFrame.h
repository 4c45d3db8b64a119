#pragma once

// "Simple Frame": the designer of simple frames. Edge lines, band widths,
// the band's colour or tiled picture and the opening's shape, with a live
// preview; "OK" stores the design as a frame file.

#include "ProgramFolder.h"
#include "SimpleFrameDesign.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QString>

class QColorDialog;
class TOpenPictureDialog;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;
class TColorSwatch;
class TDigitKeyFilter;
class TPaintBox;

class TfrmSimpleFrame : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSimpleFrame(TProgramFolderFunc ProgramFolder = ExecutableFolder,
                             QWidget* parent = nullptr);
    ~TfrmSimpleFrame() override;

    // Fills the dialog from a simple frame file and edits that file from now
    // on. The track bars clamp the values to their ranges.
    void LoadFrame(const QString& FileName);
    // Writes the dialog's design to FileName.
    void SaveFrame(const QString& FileName);
    // Has the preview box painted again from the dialog's current values.
    void RedrawPreview();

    // The dialog's values as a design (BackPicture included).
    TSimpleFrameDesign Design() const;
    // What the preview box shows: the frame at the box's size over white.
    QImage PreviewImage() const;

    // --- Event handlers ------------------------------------------------------
    void tbOutEdgeChange();
    void tbInnerEdgeChange();
    void tbFrameWidthChange();
    void tbFrameHeightChange();
    void edtOutEdgeChange();
    void edtInnerEdgeChange();
    void edtFrameWidthChange();
    void edtFrameHeightChange();
    // Any button on any of the three swatches.
    void shpBackColorMouseDown(TColorSwatch* Sender);
    void pnBKColorClick();
    void pnBKColorPaint(QPainter& Painter);
    void btnCircleClick();
    void PaintBox1Paint(QPainter& Painter);
    // "OK": stores the frame (a new one in the user category) and closes.
    void SpTBXButton1Click();
    // "Cancel".
    void SpTBXButton2Click();

    // The band picture; null while none was chosen.
    QImage BackPicture;
    // The frame file being edited; empty for a new design until "OK".
    QString FrameFile;

    // --- Components ------------------------------------------------------------
    QSlider* tbOutEdge = nullptr;
    QLineEdit* edtOutEdge = nullptr;
    TColorSwatch* shpOutEdge = nullptr;
    QSlider* tbInnerEdge = nullptr;
    QLineEdit* edtInnerEdge = nullptr;
    TColorSwatch* shpInnerEdge = nullptr;
    QSlider* tbFrameWidth = nullptr;
    QLineEdit* edtFrameWidth = nullptr;
    QSlider* tbFrameHeight = nullptr;
    QLineEdit* edtFrameHeight = nullptr;
    QRadioButton* rbBkTypeColor = nullptr;
    QRadioButton* rbBKTypePicture = nullptr;
    TColorSwatch* shpBackColor = nullptr;
    TPaintBox* pnBKColor = nullptr;
    QToolButton* btnRect = nullptr;
    QToolButton* btnCircle = nullptr;
    QToolButton* btnDiamond = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QPushButton* SpTBXButton1 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    QPointer<QColorDialog> ColorDialog1;
    QPointer<TOpenPictureDialog> OpenPictureDialog1;

    // The preview box's size.
    static constexpr int PreviewWidth = 161;
    static constexpr int PreviewHeight = 153;

private:
    void CreateControls();
    void ConnectHandlers();

    TProgramFolderFunc m_programFolder;
    TDigitKeyFilter* m_digitFilter = nullptr;
};
