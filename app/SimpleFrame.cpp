#include "SimpleFrame.h"

#include "ColorSwatch.h"
#include "DesignRanges.h"
#include "DesignerWidgets.h"
#include "DigitKeyFilter.h"
#include "GdiDraw.h"
#include "HandlerGuard.h"
#include "MyGdiPlus.h"
#include "NewFrameFile.h"
#include "NumericEdit.h"
#include "OpenPictureDialog.h"
#include "PaintBox.h"
#include "ScreenCentre.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

using namespace DesignerWidgets;

namespace {

const QString kPictureFilter = QStringLiteral(
    "All |*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.exif;*.tiff;*.tif;*.png;*.gif|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
    "Png Image File(*.png)|*.png|GIF Image File(*.gif)|*.gif|TIF(*.tif)|*.tiff|"
    "TIFF (*.tif)|*.tif|Exif (*.Exif)|*.exif");

TColorRef ToColorRef(const QColor& color)
{
    return MakeColorRef(color.red(), color.green(), color.blue());
}

// The glyph of a shape button: the opening drawn as a black outline.
QIcon ShapeGlyph(uint8_t shape)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter g(&pixmap);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(Qt::black, 1.5));
    g.setBrush(QColor(166, 202, 240));
    const QRectF box(3.5, 5.5, 17, 13);
    if (shape == TSimapleFrameMaker::shRectangle) {
        g.drawRect(box);
    } else if (shape == TSimapleFrameMaker::shEllipse) {
        g.drawEllipse(box);
    } else {
        QPainterPath path;
        path.moveTo(box.center().x(), box.top());
        path.lineTo(box.right(), box.center().y());
        path.lineTo(box.center().x(), box.bottom());
        path.lineTo(box.left(), box.center().y());
        path.closeSubpath();
        g.drawPath(path);
    }
    return QIcon(pixmap);
}

QToolButton* ShapeButton(uint8_t shape, const QString& tip)
{
    auto* button = new QToolButton;
    button->setCheckable(true);
    button->setIcon(ShapeGlyph(shape));
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(36, 32);
    button->setToolTip(tip);
    return button;
}

QLabel* Unit()
{
    return new QLabel(QStringLiteral("px"));
}

} // namespace

TfrmSimpleFrame::TfrmSimpleFrame(TProgramFolderFunc ProgramFolder, QWidget* parent)
    : QDialog(parent), m_programFolder(std::move(ProgramFolder))
{
    setWindowTitle(QStringLiteral("Simple Frame"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    CreateControls();
    ConnectHandlers();
    setFixedSize(645, 452);
    CentreOnScreen(*this);
}

TfrmSimpleFrame::~TfrmSimpleFrame() = default;

void TfrmSimpleFrame::CreateControls()
{
    // Edge
    tbOutEdge = TrackBar(DesignRanges::Edge.Minimum, DesignRanges::Edge.Maximum, 1);
    edtOutEdge = NumberEdit(1);
    shpOutEdge = new TColorSwatch(Qt::white, true);
    shpOutEdge->setFixedSize(25, 25);
    tbInnerEdge = TrackBar(DesignRanges::Edge.Minimum, DesignRanges::Edge.Maximum, 1);
    edtInnerEdge = NumberEdit(1);
    shpInnerEdge = new TColorSwatch(Qt::white, true);
    shpInnerEdge->setFixedSize(25, 25);

    auto* edge = new QGroupBox(QStringLiteral("Edge"));
    auto* edgeGrid = new QGridLayout(edge);
    edgeGrid->addWidget(new QLabel(QStringLiteral("Out Edge")), 0, 0);
    edgeGrid->addWidget(tbOutEdge, 0, 1);
    edgeGrid->addWidget(edtOutEdge, 0, 2);
    edgeGrid->addWidget(Unit(), 0, 3);
    edgeGrid->addWidget(new QLabel(QStringLiteral("Out Edge Color")), 0, 4);
    edgeGrid->addWidget(shpOutEdge, 0, 5);
    edgeGrid->addWidget(new QLabel(QStringLiteral("Inner Edge")), 1, 0);
    edgeGrid->addWidget(tbInnerEdge, 1, 1);
    edgeGrid->addWidget(edtInnerEdge, 1, 2);
    edgeGrid->addWidget(Unit(), 1, 3);
    edgeGrid->addWidget(new QLabel(QStringLiteral("Inner Edge Color")), 1, 4);
    edgeGrid->addWidget(shpInnerEdge, 1, 5);
    edgeGrid->setColumnStretch(1, 1);
    edgeGrid->setColumnMinimumWidth(4, 100);

    // Frame
    tbFrameWidth = TrackBar(DesignRanges::Band.Minimum, DesignRanges::Band.Maximum, 20);
    edtFrameWidth = NumberEdit(20);
    tbFrameHeight = TrackBar(DesignRanges::Band.Minimum, DesignRanges::Band.Maximum, 20);
    edtFrameHeight = NumberEdit(20);
    rbBkTypeColor = new QRadioButton(QStringLiteral("Color"));
    rbBKTypePicture = new QRadioButton(QStringLiteral("Picture"));
    rbBkTypeColor->setChecked(true);
    shpBackColor = new TColorSwatch(QColor(166, 202, 240), false);
    shpBackColor->setFixedSize(38, 40);
    pnBKColor = new TPaintBox;
    pnBKColor->setFixedSize(37, 37);
    pnBKColor->setCursor(Qt::PointingHandCursor);
    pnBKColor->setToolTip(QStringLiteral("Click to choose the background picture"));
    QFrame* pictureFrame = Framed(pnBKColor);

    auto* frame = new QGroupBox(QStringLiteral("Frame"));
    auto* frameGrid = new QGridLayout(frame);
    frameGrid->addWidget(new QLabel(QStringLiteral("Frame Width")), 0, 0);
    frameGrid->addWidget(tbFrameWidth, 0, 1, 1, 3);
    frameGrid->addWidget(edtFrameWidth, 0, 4);
    frameGrid->addWidget(Unit(), 0, 5);
    frameGrid->addWidget(new QLabel(QStringLiteral("Frame Height")), 1, 0);
    frameGrid->addWidget(tbFrameHeight, 1, 1, 1, 3);
    frameGrid->addWidget(edtFrameHeight, 1, 4);
    frameGrid->addWidget(Unit(), 1, 5);
    auto* background = new QHBoxLayout;
    background->addWidget(new QLabel(QStringLiteral("BackGround")));
    background->addSpacing(8);
    background->addWidget(rbBkTypeColor);
    background->addWidget(shpBackColor);
    background->addSpacing(16);
    background->addWidget(rbBKTypePicture);
    background->addWidget(pictureFrame);
    background->addStretch();
    frameGrid->addLayout(background, 2, 0, 1, 6);
    frameGrid->setColumnStretch(1, 1);

    // Shape
    btnRect = ShapeButton(TSimapleFrameMaker::shRectangle, QStringLiteral("Rectangle"));
    btnCircle = ShapeButton(TSimapleFrameMaker::shEllipse, QStringLiteral("Ellipse"));
    btnDiamond = ShapeButton(TSimapleFrameMaker::shDiamond, QStringLiteral("Diamond"));
    auto* shapes = new QButtonGroup(this);
    shapes->setExclusive(true);
    for (QToolButton* button : {btnRect, btnCircle, btnDiamond})
        shapes->addButton(button);
    btnCircle->setChecked(true);
    auto* shape = new QGroupBox(QStringLiteral("Shape"));
    auto* shapeLayout = new QHBoxLayout(shape);
    for (QToolButton* button : {btnRect, btnCircle, btnDiamond})
        shapeLayout->addWidget(button);
    shapeLayout->addStretch();

    // Preview and buttons
    PaintBox1 = new TPaintBox;
    PaintBox1->setFixedSize(PreviewWidth, PreviewHeight);
    SpTBXButton1 = Button(QStringLiteral("OK"));
    SpTBXButton2 = Button(QStringLiteral("Cancel"));

    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog, true);
    OpenPictureDialog1 = PictureDialog(this, kPictureFilter);

    auto* left = new QVBoxLayout;
    left->addWidget(edge);
    left->addWidget(frame);
    left->addWidget(shape);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(Framed(PaintBox1));
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SpTBXButton1);
    buttons->addWidget(SpTBXButton2);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    m_digitFilter = new TDigitKeyFilter(this);
    for (QLineEdit* edit : {edtOutEdge, edtInnerEdge, edtFrameWidth, edtFrameHeight})
        edit->installEventFilter(m_digitFilter);
}

void TfrmSimpleFrame::ConnectHandlers()
{
    auto slider = [this](QSlider* bar, void (TfrmSimpleFrame::*handler)()) {
        connect(bar, &QSlider::valueChanged, this,
                Guarded(this, [this, handler] { (this->*handler)(); }));
    };
    slider(tbOutEdge, &TfrmSimpleFrame::tbOutEdgeChange);
    slider(tbInnerEdge, &TfrmSimpleFrame::tbInnerEdgeChange);
    slider(tbFrameWidth, &TfrmSimpleFrame::tbFrameWidthChange);
    slider(tbFrameHeight, &TfrmSimpleFrame::tbFrameHeightChange);
    auto edit = [this](QLineEdit* line, void (TfrmSimpleFrame::*handler)()) {
        connect(line, &QLineEdit::textChanged, this,
                Guarded(this, [this, handler] { (this->*handler)(); }));
    };
    edit(edtOutEdge, &TfrmSimpleFrame::edtOutEdgeChange);
    edit(edtInnerEdge, &TfrmSimpleFrame::edtInnerEdgeChange);
    edit(edtFrameWidth, &TfrmSimpleFrame::edtFrameWidthChange);
    edit(edtFrameHeight, &TfrmSimpleFrame::edtFrameHeightChange);
    for (TColorSwatch* swatch : {shpOutEdge, shpInnerEdge, shpBackColor})
        connect(swatch, &TColorSwatch::MouseDown, this,
                Guarded(this, [this, swatch] { shpBackColorMouseDown(swatch); }));
    connect(pnBKColor, &TPaintBox::Click, this, Guarded(this, [this] { pnBKColorClick(); }));
    pnBKColor->OnPaint = [this](QPainter& painter) {
        RunGuarded(this, [&] { pnBKColorPaint(painter); });
    };
    for (QToolButton* button : {btnRect, btnCircle, btnDiamond})
        connect(button, &QToolButton::clicked, this, Guarded(this, [this] { btnCircleClick(); }));
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

void TfrmSimpleFrame::LoadFrame(const QString& FileName)
{
    const TSimpleFrameDesign design = TSimpleFrameDesign::FromFile(FileName);
    FrameFile = FileName;
    tbOutEdge->setValue(design.OutEdge);
    shpOutEdge->SetColor(ColorRefToColor(design.OutEdgeColor));
    tbInnerEdge->setValue(design.InnerEdge);
    shpInnerEdge->SetColor(ColorRefToColor(design.InnerEdgeColor));
    tbFrameWidth->setValue(design.FrameWidth);
    tbFrameHeight->setValue(design.FrameHeight);
    if (design.UsePicture) {
        rbBKTypePicture->setChecked(true);
        BackPicture = design.BackPicture;
    } else {
        rbBkTypeColor->setChecked(true);
        shpBackColor->SetColor(ColorRefToColor(design.BackColor));
    }
    switch (design.Shape) {
    case TSimapleFrameMaker::shRectangle:
        btnRect->setChecked(true);
        break;
    case TSimapleFrameMaker::shEllipse:
        btnCircle->setChecked(true);
        break;
    case TSimapleFrameMaker::shDiamond:
        btnDiamond->setChecked(true);
        break;
    default:
        break;
    }
    RedrawPreview();
    pnBKColor->update();
}

void TfrmSimpleFrame::SaveFrame(const QString& FileName)
{
    Design().Save(FileName);
}

void TfrmSimpleFrame::RedrawPreview()
{
    PaintBox1->update();
}

TSimpleFrameDesign TfrmSimpleFrame::Design() const
{
    TSimpleFrameDesign design;
    design.OutEdge = tbOutEdge->value();
    design.OutEdgeColor = ToColorRef(shpOutEdge->Color());
    design.InnerEdge = tbInnerEdge->value();
    design.InnerEdgeColor = ToColorRef(shpInnerEdge->Color());
    design.FrameWidth = tbFrameWidth->value();
    design.FrameHeight = tbFrameHeight->value();
    design.UsePicture = rbBKTypePicture->isChecked();
    design.BackColor = ToColorRef(shpBackColor->Color());
    design.BackPicture = BackPicture;
    if (btnRect->isChecked())
        design.Shape = TSimapleFrameMaker::shRectangle;
    else if (btnCircle->isChecked())
        design.Shape = TSimapleFrameMaker::shEllipse;
    else
        design.Shape = TSimapleFrameMaker::shDiamond;
    return design;
}

QImage TfrmSimpleFrame::PreviewImage() const
{
    return Design().Preview(PreviewWidth, PreviewHeight);
}

// ---------------------------------------------------------------------------
// Event handlers

void TfrmSimpleFrame::tbOutEdgeChange()
{
    edtOutEdge->setText(QString::number(tbOutEdge->value()));
    RedrawPreview();
}

void TfrmSimpleFrame::tbInnerEdgeChange()
{
    edtInnerEdge->setText(QString::number(tbInnerEdge->value()));
    RedrawPreview();
}

void TfrmSimpleFrame::tbFrameWidthChange()
{
    edtFrameWidth->setText(QString::number(tbFrameWidth->value()));
    RedrawPreview();
}

void TfrmSimpleFrame::tbFrameHeightChange()
{
    edtFrameHeight->setText(QString::number(tbFrameHeight->value()));
    RedrawPreview();
}

void TfrmSimpleFrame::edtOutEdgeChange()
{
    ApplyNumericEdit(*edtOutEdge, *tbOutEdge);
}

void TfrmSimpleFrame::edtInnerEdgeChange()
{
    ApplyNumericEdit(*edtInnerEdge, *tbInnerEdge);
}

void TfrmSimpleFrame::edtFrameWidthChange()
{
    ApplyNumericEdit(*edtFrameWidth, *tbFrameWidth);
}

void TfrmSimpleFrame::edtFrameHeightChange()
{
    ApplyNumericEdit(*edtFrameHeight, *tbFrameHeight);
}

void TfrmSimpleFrame::shpBackColorMouseDown(TColorSwatch* Sender)
{
    ColorDialog1->setCurrentColor(Sender->Color());
    if (ColorDialog1->exec() != QDialog::Accepted)
        return;
    Sender->SetColor(ColorDialog1->selectedColor());
    RedrawPreview();
}

void TfrmSimpleFrame::pnBKColorClick()
{
    QImage chosen = ChooseBackgroundPicture(*OpenPictureDialog1, m_programFolder());
    if (chosen.isNull())
        return;
    // The new picture replaces (and so releases) the previous one.
    BackPicture = std::move(chosen);
    PaintBox1->update();
    pnBKColor->update();
}

void TfrmSimpleFrame::pnBKColorPaint(QPainter& Painter)
{
    if (BackPicture.isNull())
        return;
    Painter.fillRect(pnBKColor->rect(), Qt::white);
    Painter.drawImage(QPoint(0, 0), BackPicture);
}

void TfrmSimpleFrame::btnCircleClick()
{
    RedrawPreview();
}

void TfrmSimpleFrame::PaintBox1Paint(QPainter& Painter)
{
    Painter.drawImage(QPoint(0, 0), PreviewImage());
}

void TfrmSimpleFrame::SpTBXButton1Click()
{
    if (FrameFile.isEmpty())
        FrameFile = NewFrameFileName(m_programFolder(), QDateTime::currentDateTime());
    SaveFrame(FrameFile);
    accept();
}

void TfrmSimpleFrame::SpTBXButton2Click()
{
    reject();
}
