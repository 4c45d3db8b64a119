#include "PictureFrame.h"

#include "DecodeBudget.h"
#include "HandlerGuard.h"
#include "MainForm.h"
#include "NewFrameFile.h"
#include "OpenPictureDialog.h"
#include "PicFrameMaker.h"
#include "WaitCursor.h"

#include <QFileInfo>
#include <QFrame>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

QPointer<TfrmPictureFrame> frmPictureFrame;

namespace {

constexpr int kClientWidth = 676;
constexpr int kClientHeight = 436;

// A button at its place, grown where the caption needs more room at the
// platform's font.
QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(QRect(geometry.topLeft(), geometry.size().expandedTo(button->sizeHint())));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmPictureFrame::TfrmPictureFrame(QWidget* parent, TProgramFolderFunc ProgramFolder)
    : QDialog(parent), m_programFolder(std::move(ProgramFolder))
{
    setObjectName(QStringLiteral("frmPictureFrame"));
    setWindowTitle(QStringLiteral("Create picture frame from a picture"));
    setFixedSize(kClientWidth, kClientHeight);

    pnSharp = new QFrame(this);
    pnSharp->setGeometry(0, 0, kClientWidth, 376);

    SpTBXPanel2 = new QFrame(pnSharp);
    SpTBXPanel2->setFrameShape(QFrame::StyledPanel);
    SpTBXPanel2->setFrameShadow(QFrame::Sunken);
    SpTBXPanel2->setGeometry(16, 16, 409, 284);

    FrameSplit1 = new TFrameSplit(SpTBXPanel2);
    FrameSplit1->setGeometry(2, 2, 405, 280);
    FrameSplit1->SetBKColor(MakeColorRef(255, 255, 255));
    FrameSplit1->OnMouseUP = Guarded(
        this, [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { FrameSplit1MouseUP(); });

    PaintBox1 = new QWidget(pnSharp);
    PaintBox1->setGeometry(440, 32, 201, 201);
    PaintBox1->installEventFilter(this);

    SpTBXButton3 = MakeButton(pnSharp, QStringLiteral("Load picture"), QRect(24, 304, 75, 25));
    SpTBXButton1 = MakeButton(this, QStringLiteral("OK"), QRect(224, 392, 75, 25));
    SpTBXButton2 = MakeButton(this, QStringLiteral("Cancel"), QRect(352, 392, 75, 25));
    connect(SpTBXButton3, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton3Click(); }));
    connect(SpTBXButton1, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton1Click(); }));
    connect(SpTBXButton2, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton2Click(); }));

    OpenPictureDialog1 = new TOpenPictureDialog(this, TfrmMain::OpenPictureFilters());
}

void TfrmPictureFrame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        // Centred on the screen.
        if (const QScreen* screen = this->screen()) {
            QRect area(QPoint(0, 0), frameGeometry().size());
            area.moveCenter(screen->availableGeometry().center());
            move(area.topLeft());
        }
    }
    // The grid is made once: a second showing must not stack another.
    if (!m_shown) {
        m_shown = true;
        RunGuarded(this, [this] { FormShow(); });
    }
}

bool TfrmPictureFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PaintBox1 && event->type() == QEvent::Paint) {
        RunGuarded(this, [this] { PaintBox1Paint(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPictureFrame::FormShow()
{
    FrameSplit1->InitSplit();
}

void TfrmPictureFrame::SpTBXButton3Click()
{
    OpenPictureDialog1->SetStartFolder(m_programFolder());
    const QString file = OpenPictureDialog1->ChooseFile();
    if (file.isEmpty())
        return;
    const TWaitCursor waitCursor;
    FrameSplit1->LoadPicture(file);
    PaintBox1->repaint();
}

QImage TfrmPictureFrame::RenderPreview(TFrameSplit& Split, int Width, int Height)
{
    TPicFrameMaker maker;
    maker.SetWidth(Width);
    maker.SetHeight(Height);
    Split.ExtractPieces(maker);
    QImage bitmap;
    maker.Render(bitmap);
    return bitmap;
}

void TfrmPictureFrame::PaintBox1Paint()
{
    const int w = PaintBox1->width();
    const int h = PaintBox1->height();
    const QImage bitmap = RenderPreview(*FrameSplit1, 3 * w, 3 * h);
    if (bitmap.isNull())
        return;
    QPainter g(PaintBox1);
    g.fillRect(QRect(0, 0, w, h), QColor(255, 255, 255, 255));
    SetInterpolationMode(g, TInterpolation::HighQuality);
    DrawBitmap(g, bitmap, QRectF(0, 0, w - 1, h - 1), bitmap.rect());
}

void TfrmPictureFrame::FrameSplit1MouseUP()
{
    PaintBox1->update();
}

void TfrmPictureFrame::SpTBXButton1Click()
{
    FileName = NewFrameName(m_programFolder(), QDateTime::currentDateTime());
    SaveFrame(FileName);
    accept();
}

void TfrmPictureFrame::SpTBXButton2Click()
{
    reject();
}

void TfrmPictureFrame::SaveFrame(const QString& AFileName)
{
    // Refused before a piece is cut: no frame file could give the pieces
    // back.
    if (!TPicFrameMaker::PicturesFitFrameFile(FrameSplit1->PieceSizes()))
        throw EPictureTooLarge(QStringLiteral("The frame is too large: its pieces need more than "
                                              "%1 MB. Make the bands narrower or use a smaller "
                                              "picture.")
                                   .arg(FrameFileBudget >> 20)
                                   .toStdString());
    TPicFrameMaker maker;
    FrameSplit1->ExtractPieces(maker);
    maker.SaveToFile(AFileName);
}

QString TfrmPictureFrame::NewFrameName(const QString& ProgramFolder, const QDateTime& Now)
{
    return NewFrameFileName(ProgramFolder, Now);
}
