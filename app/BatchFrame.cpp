#include "BatchFrame.h"

#include "BatchFramer.h"
#include "BatchRun.h"
#include "FrameMaker.h"
#include "HandlerGuard.h"
#include "MainForm.h"
#include "MyGdiPlus.h"
#include "PicThumb.h"
#include "PreviewBox.h"
#include "PreviewLoader.h"
#include "ScreenCentre.h"
#include "SelectFrame.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

QPointer<TfrmBatchFrame> frmBatchFrame;

namespace {

QPushButton* Button(const QString& text)
{
    auto* button = new QPushButton(text);
    button->setAutoDefault(false);
    return button;
}

// A sunken frame around a preview box of a fixed size.
QFrame* Bordered(QWidget* inner)
{
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(inner);
    frame->setFixedSize(frame->sizeHint());
    return frame;
}

// The decorative picture of the top band: a small framed landscape.
QPixmap BandPicture()
{
    QImage image = NewBitmap(48, 48);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(2, 2, 44, 44), QColor(139, 94, 52));
    painter.fillRect(QRect(8, 8, 32, 32), QColor(135, 190, 235));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 140, 60));
    painter.drawPolygon(QPolygon({QPoint(8, 40), QPoint(20, 22), QPoint(30, 33), QPoint(34, 28),
                                  QPoint(40, 36), QPoint(40, 40)}));
    painter.setBrush(QColor(250, 215, 80));
    painter.drawEllipse(QPoint(32, 15), 4, 4);
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

TfrmBatchFrame::TfrmBatchFrame(QWidget* parent, TLastFolder PhotoFolder, TLastFolder PngFolder)
    : QDialog(parent), m_frameLoader(new TPreviewLoader(this)),
      m_previewLoader(new TPreviewLoader(this))
{
    setWindowTitle(QStringLiteral("Batch Frame"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(500, 340);

    pnTop = new QFrame;
    pnTop->setAutoFillBackground(true);
    QPalette white = pnTop->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnTop->setPalette(white);
    pnTop->setFixedHeight(60);
    Image1 = new QLabel;
    Image1->setPixmap(BandPicture());
    lblMsg = new QLabel;
    lblMsg->setWordWrap(true);
    QFont bold = lblMsg->font();
    bold.setBold(true);
    lblMsg->setFont(bold);
    auto* top = new QHBoxLayout(pnTop);
    top->setContentsMargins(10, 6, 10, 6);
    top->addWidget(Image1);
    top->addWidget(lblMsg, 1);
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    pnPages = new QStackedWidget;
    pn1 = BuildFramePage();
    pn2 = BuildPhotoPage();
    pn3 = BuildOutputPage();
    pn4 = BuildRunPage();
    for (QWidget* page : {pn1, pn2, pn3, pn4})
        pnPages->addWidget(page);

    btnBack = Button(QStringLiteral("Back"));
    btnNext = Button(QStringLiteral("Next"));
    btnExit = Button(QStringLiteral("Exit"));
    auto* bottomLine = new QFrame;
    bottomLine->setFrameShape(QFrame::HLine);
    bottomLine->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 0, 10, 8);
    buttons->addStretch();
    buttons->addWidget(btnBack);
    buttons->addWidget(btnNext);
    buttons->addSpacing(12);
    buttons->addWidget(btnExit);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(pnTop);
    layout->addWidget(line);
    layout->addWidget(pnPages, 1);
    layout->addWidget(bottomLine);
    layout->addLayout(buttons);

    OpenPictureDialog1 = new TTypedNamesDialog(
        this,
        {QStringLiteral("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"),
         QStringLiteral("JPEG Image File (*.jpg)"), QStringLiteral("JPEG Image File (*.jpeg)"),
         QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("Icons (*.ico)"),
         QStringLiteral("Enhanced Metafiles (*.emf)"), QStringLiteral("Metafiles (*.wmf)")},
        std::move(PhotoFolder));
    OpenPictureDialog2 = new TOpenPictureDialog(this, {QStringLiteral("png (*.png)")},
                                                QFileDialog::ExistingFile, std::move(PngFolder));
    OpenPictureDialog2->setDefaultSuffix(QStringLiteral("png"));

    connect(btnNext, &QPushButton::clicked, this, Guarded(this, [this] { btnNextClick(); }));
    connect(btnBack, &QPushButton::clicked, this, Guarded(this, [this] { btnBackClick(); }));
    connect(btnExit, &QPushButton::clicked, this, Guarded(this, [this] { reject(); }));
}

TfrmBatchFrame::~TfrmBatchFrame() = default;

QWidget* TfrmBatchFrame::BuildFramePage()
{
    auto* page = new QWidget;
    PaintBox1 = new TPreviewBox;
    PaintBox1->setFixedSize(200, 176);
    PaintBox1->OnPaint = [this](QPainter& painter) { PaintBox1Paint(painter); };
    SpTBXButton2 = Button(QStringLiteral("Select frame"));
    SpTBXButton1 = Button(QStringLiteral("Load PNG frame"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(SpTBXButton2);
    buttons->addWidget(SpTBXButton1);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(40, 4, 40, 4);
    layout->addWidget(Bordered(PaintBox1));
    layout->addSpacing(20);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(SpTBXButton2, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton2Click(); }));
    connect(SpTBXButton1, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton1Click(); }));
    connect(m_frameLoader, &TPreviewLoader::Ready, this,
            [this](const TPreview& Preview) { FramePreviewReady(Preview); });
    return page;
}

QWidget* TfrmBatchFrame::BuildPhotoPage()
{
    auto* page = new QWidget;
    SpeedButton3 = new QToolButton;
    SpeedButton3->setText(QStringLiteral("+"));
    SpeedButton3->setToolTip(QStringLiteral("Add"));
    SpeedButton4 = new QToolButton;
    SpeedButton4->setText(QStringLiteral("-"));
    SpeedButton4->setToolTip(QStringLiteral("Remove"));
    for (QToolButton* button : {SpeedButton3, SpeedButton4})
        button->setFixedSize(26, 26);
    lsbPicture = new QListWidget;
    lsbPicture->setSelectionMode(QAbstractItemView::SingleSelection);
    pbImage = new TPreviewBox;
    pbImage->setFixedSize(149, 134);
    pbImage->OnPaint = [this](QPainter& painter) { pbImagePaint(painter); };

    auto* tools = new QVBoxLayout;
    tools->addWidget(SpeedButton3);
    tools->addWidget(SpeedButton4);
    tools->addStretch();
    auto* preview = new QVBoxLayout;
    preview->addWidget(Bordered(pbImage));
    preview->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(10, 4, 10, 4);
    layout->addLayout(tools);
    layout->addWidget(lsbPicture, 1);
    layout->addLayout(preview);

    connect(SpeedButton3, &QToolButton::clicked, this,
            Guarded(this, [this] { SpeedButton3Click(); }));
    connect(SpeedButton4, &QToolButton::clicked, this,
            Guarded(this, [this] { SpeedButton4Click(); }));
    connect(lsbPicture, &QListWidget::itemClicked, this,
            Guarded(this, [this] { lsbPictureClick(); }));
    connect(lsbPicture, &QListWidget::currentRowChanged, this,
            Guarded(this, [this] { lsbPictureClick(); }));
    connect(m_previewLoader, &TPreviewLoader::Ready, this,
            [this](const TPreview& Preview) { PhotoPreviewReady(Preview); });
    return page;
}

QWidget* TfrmBatchFrame::BuildOutputPage()
{
    auto* page = new QWidget;
    rgbDirectry = new QGroupBox(QStringLiteral("Overwrite or create new"));
    rgbDirectryItems = new QButtonGroup(this);
    auto* directry = new QVBoxLayout(rgbDirectry);
    directry->setContentsMargins(6, 6, 6, 6);
    const QStringList directryItems = {QStringLiteral("Overwrite Orginal Images"),
                                       QStringLiteral("Create New Image Files with a prefix")};
    for (int i = 0; i < directryItems.size(); ++i) {
        auto* radio = new QRadioButton(directryItems.at(i));
        rgbDirectryItems->addButton(radio, i);
        directry->addWidget(radio);
    }
    edtPrefix = new QLineEdit(QStringLiteral("Pre"));
    auto* prefix = new QHBoxLayout;
    prefix->setContentsMargins(20, 0, 0, 0);
    prefix->addWidget(edtPrefix);
    directry->addLayout(prefix);
    directry->addStretch();

    rgbSize = new QGroupBox(QStringLiteral("Size"));
    rgbSizeItems = new QButtonGroup(this);
    auto* sizes = new QGridLayout(rgbSize);
    sizes->setVerticalSpacing(2);
    for (int i = 0; i < int(TBatchFramer::SizeCaptions.size()); ++i) {
        auto* radio = new QRadioButton(TBatchFramer::SizeCaptions[size_t(i)]);
        rgbSizeItems->addButton(radio, i);
        sizes->addWidget(radio, i % 4, i / 4);
    }
    edtX = new QLineEdit;
    lblX = new QLabel(QStringLiteral("x"));
    edtY = new QLineEdit;
    for (QLineEdit* edit : {edtX, edtY}) {
        edit->setFixedWidth(56);
        edit->installEventFilter(this);
    }
    auto* custom = new QHBoxLayout;
    custom->addStretch();
    custom->addWidget(edtX);
    custom->addWidget(lblX);
    custom->addWidget(edtY);
    sizes->addLayout(custom, 4, 0, 1, 2);

    // The long entry of the first group keeps its whole caption.
    rgbSize->setFixedWidth(214);
    sizes->setHorizontalSpacing(2);
    sizes->setContentsMargins(6, 6, 4, 6);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(6);
    layout->addWidget(rgbDirectry, 1);
    layout->addWidget(rgbSize);

    SetDirectryIndex(1);
    SetSizeIndex(3);
    for (QWidget* widget :
         {static_cast<QWidget*>(edtX), static_cast<QWidget*>(lblX), static_cast<QWidget*>(edtY)})
        widget->setEnabled(false);

    connect(rgbDirectryItems, &QButtonGroup::idClicked, this,
            Guarded(this, [this] { rgbDirectryClick(); }));
    connect(rgbSizeItems, &QButtonGroup::idClicked, this,
            Guarded(this, [this] { rgbSizeClick(); }));
    return page;
}

QWidget* TfrmBatchFrame::BuildRunPage()
{
    auto* page = new QWidget;
    SpTBXProgressBar1 = new QProgressBar;
    SpTBXProgressBar1->setRange(0, 100);
    SpTBXProgressBar1->setValue(0);
    SpTBXProgressBar1->setFormat(QStringLiteral("%p%"));
    SpTBXProgressBar1->setAlignment(Qt::AlignCenter);
    QFont bold = SpTBXProgressBar1->font();
    bold.setBold(true);
    SpTBXProgressBar1->setFont(bold);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(30, 0, 30, 0);
    layout->addStretch();
    layout->addWidget(SpTBXProgressBar1);
    layout->addStretch();
    return page;
}

// ---------------------------------------------------------------------------
// Pages

void TfrmBatchFrame::ShowStep(int n)
{
    static const QString messages[] = {
        QStringLiteral("Setup1:Select the frame which you want add to photos."),
        QStringLiteral("Setup2:Select photos that you want add frame to."),
        QStringLiteral("Setup3:Set the output options."),
        QStringLiteral("Please wait for processing")};
    if (n < 1 || n > 4)
        return;
    lblMsg->setText(messages[n - 1]);
    btnBack->setEnabled(n == 2 || n == 3);
    btnNext->setEnabled(n != 4);
    btnExit->setEnabled(n != 4);
    pnPages->setCurrentIndex(n - 1);
}

bool TfrmBatchFrame::ValidateStep(int n)
{
    QString message;
    if (n == 1 && FrameFileName.isEmpty())
        message = QStringLiteral("Please select the frame file");
    else if (n == 2 && lsbPicture->count() == 0)
        message = QStringLiteral("Please select the photo that you want add frame to");
    if (message.isEmpty())
        return true;
    ShowInformationMessage(this, message);
    return false;
}

void TfrmBatchFrame::EnterStep(int n)
{
    if (n == 4)
        RunBatch();
}

void TfrmBatchFrame::RunBatch()
{
    const QSize box = TBatchFramer::TargetBox(SizeIndex(), edtX->text(), edtY->text());
    SpTBXProgressBar1->setMaximum(lsbPicture->count());

    m_running = true;
    struct TRunEnd
    {
        bool& running;
        ~TRunEnd() { running = false; }
    } runEnd{m_running};

    // An empty prefix becomes "zzz" at the first photo, for the whole run.
    const bool overwrite = DirectryIndex() == 0;
    const bool zzz = !overwrite && edtPrefix->text().isEmpty();
    const QString prefix = zzz ? QStringLiteral("zzz") : edtPrefix->text();
    // A prefix that names a folder would put the outputs elsewhere.
    const bool prefixInFolder = !overwrite && prefix.contains(QLatin1Char('/'));
    std::vector<TBatchJob> jobs;
    for (int i = 0; i < lsbPicture->count(); ++i) {
        const QString photo = lsbPicture->item(i)->text();
        jobs.push_back(
            {photo, TBatchFramer::OutputName(photo, overwrite, prefix),
             prefixInFolder ? QStringLiteral("the prefix holds a path delimiter") : QString()});
    }
    // The photos are framed on the worker threads; this thread takes them in
    // list order, writes them and keeps the window alive. A frame that
    // cannot be read ends the run before any photo is touched.
    TBatchRun run(std::move(jobs), FrameFileName, IsPngFrame, box);
    const auto pump = [] { QCoreApplication::processEvents(); };
    run.CheckFrame(pump);
    if (zzz)
        edtPrefix->setText(prefix);
    for (int i = 0; i < run.Count(); ++i) {
        run.Finish(i, pump);
        SpTBXProgressBar1->setValue(SpTBXProgressBar1->value() + 1);
        QCoreApplication::processEvents();
    }

    btnExit->setEnabled(true);
    btnExit->setText(QStringLiteral("Finish"));
    if (!run.Failures().IsEmpty()) {
        ShowInformationMessage(this, run.Failures().Text(), run.Failures().Details());
    }
    m_running = false;
    if (m_closeAfterRun)
        reject();
}

// ---------------------------------------------------------------------------
// Events

void TfrmBatchFrame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        RunGuarded(this, [this] { FormShow(); });
        CentreOnScreen(*this);
    }
}

void TfrmBatchFrame::done(int r)
{
    // Every way out (Exit, Escape, the close box, the window manager's close)
    // ends here: during the run it is held, and the wizard closes after it.
    if (m_running) {
        m_closeAfterRun = true;
        return;
    }
    QDialog::done(r);
}

bool TfrmBatchFrame::eventFilter(QObject* watched, QEvent* event)
{
    // edtXKeyPress: only digits and Backspace are typed into edtX and edtY.
    if ((watched == edtX || watched == edtY) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() == 1 && text.at(0).unicode() >= u' ' &&
            !(text.at(0) >= u'0' && text.at(0) <= u'9'))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmBatchFrame::FormShow()
{
    Step = 1;
    ShowStep(Step);
}

void TfrmBatchFrame::btnNextClick()
{
    if (!ValidateStep(Step))
        return;
    ++Step;
    ShowStep(Step);
    EnterStep(Step);
}

void TfrmBatchFrame::btnBackClick()
{
    --Step;
    ShowStep(Step);
}

void TfrmBatchFrame::SpTBXButton2Click()
{
    frmSelectFrame = new TfrmSelectFrame(this);
    if (frmSelectFrame->exec() != QDialog::Accepted || !frmSelectFrame)
        return;
    const QStringList& files = frmSelectFrame->thuFrame->FileList();
    int index = frmSelectFrame->thuFrame->ItemIndex;
    if (index == -1)
        index = 0;
    if (index < 0 || index >= files.size())
        throw std::out_of_range(
            QStringLiteral("List index out of bounds (%1)").arg(index).toStdString());
    FrameFileName = files.at(index);
    IsPngFrame = false;
    m_frameName.clear(); // made anew, though the name may be the same
    PaintBox1->update();
}

void TfrmBatchFrame::SpTBXButton1Click()
{
    const QString file = OpenPictureDialog2->ChooseFile();
    if (file.isEmpty())
        return;
    FrameFileName = file;
    IsPngFrame = true;
    m_frameName.clear(); // made anew, though the name may be the same
    PaintBox1->update();
}

void TfrmBatchFrame::PaintBox1Paint(QPainter& Painter)
{
    if (FrameFileName.isEmpty())
        return;
    const QSize box = PaintBox1->size();
    if (FrameFileName != m_frameName || IsPngFrame != m_frameIsPng || box != m_frameBox) {
        m_frameName = FrameFileName;
        m_frameIsPng = IsPngFrame;
        m_frameBox = box;
        m_framePicture = QImage();
        // A preview that cannot be made stays empty: a message from a
        // preview would come back with every repaint.
        m_frameLoader->Request([name = m_frameName, png = m_frameIsPng, box] {
            TPreview preview;
            preview.File = name;
            try {
                if (png) {
                    // Decoded at the size it is shown.
                    preview.Picture = DecodeImageFile(name, box);
                } else if (std::unique_ptr<TFrameMakerBase> maker =
                               LoadFrameMaker(name, 2 * box.width(), 2 * box.height())) {
                    maker->Render(preview.Picture);
                }
            } catch (const std::exception&) {
            }
            return preview;
        });
        return;
    }
    if (m_framePicture.isNull())
        return;
    const QImage& frame = m_framePicture;
    const QRect source =
        m_frameIsPng ? frame.rect() : QRect(0, 0, 2 * box.width(), 2 * box.height());
    SetInterpolationMode(Painter, TInterpolation::Default);
    DrawBitmap(Painter, frame, QRectF(0, 0, box.width(), box.height()), source);
}

void TfrmBatchFrame::FramePreviewReady(const TPreview& Preview)
{
    if (Preview.File != m_frameName)
        return;
    m_framePicture = Preview.Picture;
    PaintBox1->update();
}

void TfrmBatchFrame::SpeedButton3Click()
{
    for (const QString& file : OpenPictureDialog1->Choose())
        lsbPicture->addItem(file);
}

void TfrmBatchFrame::SpeedButton4Click()
{
    for (int i = lsbPicture->count() - 1; i >= 0; --i)
        if (lsbPicture->item(i)->isSelected())
            delete lsbPicture->takeItem(i);
    pbImage->update();
}

void TfrmBatchFrame::lsbPictureClick()
{
    pbImage->update();
}

void TfrmBatchFrame::pbImagePaint(QPainter& Painter)
{
    const QListWidgetItem* current = lsbPicture->currentItem();
    if (!current)
        return;
    const QSize box = pbImage->size();
    if (current->text() != m_previewName || box != m_previewBox) {
        m_previewName = current->text();
        m_previewBox = box;
        m_previewPhoto = QImage();
        m_previewRect = QRectF();
        // Only the shown size is decoded, and not here: the photo is painted
        // once it is ready. A photo that cannot be shown stays empty here,
        // and the run reports it.
        m_previewLoader->Request(TPreviewLoader::Picture(m_previewName, [box](const QSize& Pixels) {
            return TBatchFramer::PreviewRect(Pixels.width(), Pixels.height(), box.width(),
                                             box.height())
                .size()
                .toSize();
        }));
        return;
    }
    if (m_previewPhoto.isNull())
        return;
    const QImage& photo = m_previewPhoto;
    SetInterpolationMode(Painter, TInterpolation::Default);
    DrawBitmap(Painter, photo, m_previewRect, QRect(0, 0, photo.width(), photo.height()));
}

void TfrmBatchFrame::PhotoPreviewReady(const TPreview& Preview)
{
    if (Preview.File != m_previewName || Preview.Picture.isNull())
        return;
    m_previewPhoto = Preview.Picture;
    m_previewRect = TBatchFramer::PreviewRect(Preview.PixelSize.width(), Preview.PixelSize.height(),
                                              m_previewBox.width(), m_previewBox.height());
    pbImage->update();
}

void TfrmBatchFrame::rgbDirectryClick()
{
    edtPrefix->setEnabled(DirectryIndex() == 1);
}

void TfrmBatchFrame::rgbSizeClick()
{
    const bool custom = SizeIndex() == TBatchFramer::CustomSize;
    edtX->setEnabled(custom);
    lblX->setEnabled(custom);
    edtY->setEnabled(custom);
}

int TfrmBatchFrame::DirectryIndex() const
{
    return rgbDirectryItems->checkedId();
}

int TfrmBatchFrame::SizeIndex() const
{
    return rgbSizeItems->checkedId();
}

void TfrmBatchFrame::SetDirectryIndex(int Index)
{
    if (QAbstractButton* button = rgbDirectryItems->button(Index))
        button->setChecked(true);
}

void TfrmBatchFrame::SetSizeIndex(int Index)
{
    if (QAbstractButton* button = rgbSizeItems->button(Index))
        button->setChecked(true);
}
