#include "OrnateFrame.h"

#include "DesignRanges.h"
#include "DesignerWidgets.h"
#include "HandlerGuard.h"
#include "MyGdiPlus.h"
#include "NewFrameFile.h"
#include "NumericEdit.h"
#include "OpenPictureDialog.h"
#include "PaintBox.h"
#include "ScreenCentre.h"

#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

using namespace DesignerWidgets;

namespace {

// The picture formats the toolkit's own picture class reads.
const QString kPictureFilter = QStringLiteral(
    "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|"
    "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
    "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");

} // namespace

TfrmOrnateFrame::TfrmOrnateFrame(TProgramFolderFunc ProgramFolder, QWidget* parent)
    : QDialog(parent), m_programFolder(std::move(ProgramFolder))
{
    setWindowTitle(QStringLiteral("Ornate Frame"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    CreateControls();
    ConnectHandlers();
    setFixedSize(609, 379);
    CentreOnScreen(*this);
}

TfrmOrnateFrame::~TfrmOrnateFrame() = default;

void TfrmOrnateFrame::CreateControls()
{
    tbFrameSize = TrackBar(DesignRanges::Band.Minimum, DesignRanges::Band.Maximum, 20);
    edtFrameSize = NumberEdit(20);
    pbPic = new TPaintBox;
    pbPic->setFixedSize(37, 37);
    pbPic->setCursor(Qt::PointingHandCursor);
    pbPic->setToolTip(QStringLiteral("Click to choose the frame picture"));
    QFrame* pictureFrame = Framed(pbPic);

    auto* frame = new QGroupBox(QStringLiteral("Frame"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Frame Size")), 0, 0);
    grid->addWidget(tbFrameSize, 0, 1);
    grid->addWidget(edtFrameSize, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("px")), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Frame Picture")), 1, 0);
    grid->addWidget(pictureFrame, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(0, 40);

    PaintBox1 = new TPaintBox;
    PaintBox1->setFixedSize(PreviewWidth, PreviewHeight);
    SpTBXButton1 = Button(QStringLiteral("OK"));
    SpTBXButton2 = Button(QStringLiteral("Cancel"));
    OpenPictureDialog1 = PictureDialog(this, kPictureFilter);

    auto* left = new QVBoxLayout;
    left->addWidget(frame);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(Framed(PaintBox1));
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SpTBXButton1);
    buttons->addWidget(SpTBXButton2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

void TfrmOrnateFrame::ConnectHandlers()
{
    connect(tbFrameSize, &QSlider::valueChanged, this,
            Guarded(this, [this] { tbFrameSizeChange(); }));
    connect(edtFrameSize, &QLineEdit::textChanged, this,
            Guarded(this, [this] { edtFrameSizeChange(); }));
    connect(pbPic, &TPaintBox::Click, this, Guarded(this, [this] { pbPicClick(); }));
    pbPic->OnPaint = [this](QPainter& painter) { RunGuarded(this, [&] { pbPicPaint(painter); }); };
    PaintBox1->OnPaint = [this](QPainter& painter) {
        RunGuarded(this, [&] { PaintBox1Paint(painter); });
    };
    connect(SpTBXButton1, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton1Click(); }));
    connect(SpTBXButton2, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton2Click(); }));
}

// ---------------------------------------------------------------------------
// Operations

void TfrmOrnateFrame::LoadFrame(const QString& FileName)
{
    const TOrnateFrameDesign design = TOrnateFrameDesign::FromFile(FileName);
    FrameFile = FileName;
    tbFrameSize->setValue(design.FrameSize);
    TilePicture = design.TilePicture;
    pbPic->update();
    RedrawPreview();
}

void TfrmOrnateFrame::SaveFrame(const QString& FileName)
{
    Design().Save(FileName);
}

void TfrmOrnateFrame::RedrawPreview()
{
    PaintBox1->update();
}

TOrnateFrameDesign TfrmOrnateFrame::Design() const
{
    TOrnateFrameDesign design;
    design.FrameSize = tbFrameSize->value();
    design.TilePicture = TilePicture;
    return design;
}

QImage TfrmOrnateFrame::PreviewImage() const
{
    return Design().Preview(PreviewWidth, PreviewHeight);
}

// ---------------------------------------------------------------------------
// Event handlers

void TfrmOrnateFrame::tbFrameSizeChange()
{
    edtFrameSize->setText(QString::number(tbFrameSize->value()));
    PaintBox1->repaint();
}

void TfrmOrnateFrame::edtFrameSizeChange()
{
    ApplyNumericEdit(*edtFrameSize, *tbFrameSize);
}

void TfrmOrnateFrame::pbPicClick()
{
    QImage chosen = ChooseBackgroundPicture(*OpenPictureDialog1, m_programFolder());
    if (chosen.isNull())
        return;
    // The new tile replaces (and so releases) the previous one.
    TilePicture = std::move(chosen);
    pbPic->repaint();
    PaintBox1->repaint();
}

void TfrmOrnateFrame::pbPicPaint(QPainter& Painter)
{
    if (!TilePicture.isNull())
        Painter.drawImage(QPoint(0, 0), TilePicture);
}

void TfrmOrnateFrame::PaintBox1Paint(QPainter& Painter)
{
    Painter.drawImage(QPoint(0, 0), PreviewImage());
}

void TfrmOrnateFrame::SpTBXButton1Click()
{
    if (FrameFile.isEmpty())
        FrameFile = NewFrameFileName(m_programFolder(), QDateTime::currentDateTime());
    SaveFrame(FrameFile);
    accept();
}

void TfrmOrnateFrame::SpTBXButton2Click()
{
    reject();
}
