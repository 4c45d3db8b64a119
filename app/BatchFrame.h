#pragma once

// "Batch Frame": a four-page wizard that puts one frame (a frame file chosen
// in the frame picker, or a PNG picture) around many photos and writes each
// result as a JPEG, over the photo or beside it under a prefixed name. The
// run happens inside the click on "Next" that enters the last page; the work
// on each photo is TBatchFramer's.

#include "OpenPictureDialog.h"
#include "TypedNamesDialog.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QSize>
#include <QString>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPainter;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class TPreviewBox;
class TPreviewLoader;
struct TPreview;

class TfrmBatchFrame : public QDialog
{
    Q_OBJECT

public:
    // PhotoFolder and PngFolder: where the two picture-open dialogs were last
    // used, shared with the wizards before and after this one.
    explicit TfrmBatchFrame(QWidget* parent = nullptr, TLastFolder PhotoFolder = {},
                            TLastFolder PngFolder = {});
    ~TfrmBatchFrame() override;

    // --- State -----------------------------------------------------------------
    QString FrameFileName;
    bool IsPngFrame = false;
    int Step = 1;

    // --- Pages -----------------------------------------------------------------
    void ShowStep(int n);
    // True when page n may be left forwards; else shows why and stays.
    bool ValidateStep(int n);
    // Page 4 starts the run.
    void EnterStep(int n);
    void RunBatch();

    // --- Events ----------------------------------------------------------------
    void FormShow();
    void btnNextClick();
    void btnBackClick();
    void SpTBXButton2Click();
    void SpTBXButton1Click();
    void PaintBox1Paint(QPainter& Painter);
    void SpeedButton3Click();
    void SpeedButton4Click();
    void lsbPictureClick();
    void pbImagePaint(QPainter& Painter);
    void rgbDirectryClick();
    void rgbSizeClick();

    // The chosen entries of the two radio groups.
    int DirectryIndex() const;
    int SizeIndex() const;
    void SetDirectryIndex(int Index);
    void SetSizeIndex(int Index);

    // --- Components ------------------------------------------------------------
    QFrame* pnTop = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblMsg = nullptr;
    QStackedWidget* pnPages = nullptr;
    QWidget* pn1 = nullptr;
    QWidget* pn2 = nullptr;
    QWidget* pn3 = nullptr;
    QWidget* pn4 = nullptr;
    TPreviewBox* PaintBox1 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    QPushButton* SpTBXButton1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QListWidget* lsbPicture = nullptr;
    TPreviewBox* pbImage = nullptr;
    QGroupBox* rgbDirectry = nullptr;
    QButtonGroup* rgbDirectryItems = nullptr;
    QLineEdit* edtPrefix = nullptr;
    QGroupBox* rgbSize = nullptr;
    QButtonGroup* rgbSizeItems = nullptr;
    QLineEdit* edtX = nullptr;
    QLabel* lblX = nullptr;
    QLineEdit* edtY = nullptr;
    QProgressBar* SpTBXProgressBar1 = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnExit = nullptr;
    QPointer<TTypedNamesDialog> OpenPictureDialog1;
    QPointer<TOpenPictureDialog> OpenPictureDialog2;

    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildFramePage();
    QWidget* BuildPhotoPage();
    QWidget* BuildOutputPage();
    QWidget* BuildRunPage();
    void FramePreviewReady(const TPreview& Preview);
    void PhotoPreviewReady(const TPreview& Preview);

    bool m_running = false;
    bool m_closeAfterRun = false;
    // The frame preview's frame, made away from the window's thread for a
    // box of m_frameBox: the PNG picture decoded at the box's size, or the
    // frame file's frame rendered at twice it; a null picture until it is
    // ready.
    TPreviewLoader* m_frameLoader = nullptr;
    QString m_frameName;
    bool m_frameIsPng = false;
    QSize m_frameBox;
    QImage m_framePicture;
    // The photo preview's last photo, decoded away from the window's thread
    // at the size it is shown in a box of m_previewBox, and where it is
    // shown; a null picture until it is ready.
    TPreviewLoader* m_previewLoader = nullptr;
    QString m_previewName;
    QSize m_previewBox;
    QImage m_previewPhoto;
    QRectF m_previewRect;
};

// The wizard the main window opened last.
extern QPointer<TfrmBatchFrame> frmBatchFrame;
