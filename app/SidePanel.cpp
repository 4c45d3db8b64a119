#include "SidePanel.h"

#include "FrameMaker.h"
#include "HandlerGuard.h"
#include "OpenPictureDialog.h"
#include "QynKadrix.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <mutex>

namespace {

// Every entry of a folder but "." and "..", hidden and special ones
// included, by name ignoring case.
QStringList FolderEntries(const QString& Folder)
{
    const QDir dir(Folder);
    if (Folder.isEmpty() || !dir.exists())
        return {};
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDir::Name | QDir::IgnoreCase);
}

// Lower case of the letters A to Z only.
QString AsciiLower(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return result;
}

// The text without leading and trailing blanks and control characters.
QString TrimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= u' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

QPushButton* Button(const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setAutoDefault(false);
    return button;
}

// A tab page's column: narrow margins, so that three 100-pixel cells fit
// beside each other in the panel's 341 pixels.
QVBoxLayout* PageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 4, 2, 2);
    layout->setSpacing(4);
    return layout;
}

} // namespace

TSidePanel::TSidePanel(TQynKadrix* Canvas, TProgramFolderFunc ProgramFolder, QWidget* FramePage,
                       QWidget* PngPage, QWidget* ClipArtPage)
    : m_canvas(Canvas), m_programFolder(std::move(ProgramFolder)), m_host(FramePage)
{
    BuildFrameTab(FramePage);
    BuildPngTab(PngPage);
    BuildClipArtTab(ClipArtPage);

    OpenPictureDialog2 =
        new TOpenPictureDialog(FramePage->window(), {QStringLiteral("png (*.png)")});
    OpenPictureDialog2->setDefaultSuffix(QStringLiteral("png"));
}

TSidePanel::~TSidePanel() = default;

void TSidePanel::SetPanelOptions(TPicThumb& Thumb)
{
    TThumbFont font;
    font.Font = QFont(QStringLiteral("MS Sans Serif"));
    font.Font.setPixelSize(11);
    font.Color = clWindowText;

    TThumbOptions& o = Thumb.ThumbOptions();
    o.LeftSpace = o.RightSpace = o.TopSpace = o.BottomSpace = 5;
    o.ButtonWidth = 100;
    o.ButtonHeight = 100;
    o.InnerXSpace = 3;
    o.InnerYSPace = 3;
    o.PicRectLeft = 4;
    o.PicRectTop = 4;
    o.PicRectWidth = 90;
    o.PicRectHeight = 90;
    o.ButtonColor = clWhite;
    o.BKColor = clWhite;
    o.OutFrameColor = clSilver;
    o.OutFrameStyle = TBevelCut::bvSpace;
    o.InnerFrameColor = clSilver;
    o.InnerFrameStyle = TBevelCut::bvNone;
    o.SelectColor = clYellow;
    o.ShowImageName = false;
    o.SetTextFont(font);
    o.TextLeft = 6;
    o.TextTop = 104;
    o.TextWidth = 116;
    o.TextHeight = 0;

    TSmalThumbOptions& s = Thumb.SmalThumbOptions();
    s.LeftSpace = s.TopSpace = s.RightSpace = s.BottomSpace = 5;
    s.SetThumbCount(9);
    s.ThumbSize = 32;
    s.ThumbFrameSize = 2;
    s.ThumbFrameColor = clWhite;
    s.ThumbSelectedColor = clYellow;
    s.ThumbSpace = 3;
    s.ThumbPicSpace = 5;
    s.PicInnerSpace = 20;
    s.ShowShaw = true;
    s.BKColor = clSilver;
    s.PicBKColor = clWhite;
    s.AutoThumbCount = false;

    TDetailOptions& d = Thumb.DetailOptions();
    d.LeftSpace = d.RightSpace = d.TopSpace = d.BottomSpace = 5;
    d.ButtonColor = clBtnFace;
    d.BKColor = clWhite;
    d.OutFrameColor = clSilver;
    d.OutFrameStyle = TBevelCut::bvSpace;
    d.InnerFrameColor = clSilver;
    d.InnerFrameStyle = TBevelCut::bvSpace;
    d.InnerXSpace = 3;
    d.InnerYSPace = 3;
    d.ButtonWidth = 280;
    d.ButtonHeight = 120;
    d.PicRectLeft = 10;
    d.PicRectTop = 8;
    d.PicRectWidth = 120;
    d.PicRectHeight = 100;
    d.SetTextFont(font);
    d.TextLeft = 140;
    d.TextTop = 10;
    d.TextWidth = 130;
    d.TextHeight = 110;
    d.TextSpace = 15;
    d.SelectColor = clNavy;

    Thumb.SetShowMode(smThumb);
    Thumb.verticalScrollBar()->setSingleStep(103);
    Thumb.verticalScrollBar()->setTracking(true);
}

// ---------------------------------------------------------------------------
// The tabs

void TSidePanel::BuildFrameTab(QWidget* page)
{
    lblFrameCategory = new QLabel(QStringLiteral("Frame"));
    lsbFrame = new QComboBox;
    lsbFrame->setEditable(false);
    btnNew = Button(QStringLiteral("New"));
    pmNew = new QMenu(btnNew);
    mNewSimpleFrame = pmNew->addAction(QStringLiteral("New Simple Frame"));
    mNewOrnateFrame = pmNew->addAction(QStringLiteral("New Ornate Frame"));
    mNewPictureFrame = pmNew->addAction(QStringLiteral("New Picture Frame"));
    btnNew->setMenu(pmNew);
    btnEdit = Button(QStringLiteral("Edit"));
    SpTBXButton6 = Button(QStringLiteral("Add to Photo"));
    btnSaveFrame = Button(QStringLiteral("Save"));
    thuFrame = new TPicThumb;
    SetPanelOptions(*thuFrame);
    thuFrame->setToolTip(QStringLiteral("Double click the frame to add it to the photo"));
    thuFrame->OnCreateThumb = &TSidePanel::thuFrameCreateThumb;

    auto* bar = new QHBoxLayout;
    bar->addWidget(lblFrameCategory);
    bar->addWidget(lsbFrame, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnNew, btnEdit, SpTBXButton6, btnSaveFrame})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = PageLayout(page);
    layout->addLayout(bar);
    layout->addLayout(buttons);
    layout->addWidget(thuFrame, 1);

    connect(lsbFrame, &QComboBox::activated, this, Guarded(m_host, [this] { lsbFrameChange(); }));
    connect(thuFrame, &TPicThumb::DblClick, this, Guarded(m_host, [this] { thuFrameDblClick(); }));
    connect(SpTBXButton6, &QPushButton::clicked, this,
            Guarded(m_host, [this] { SpTBXButton6Click(); }));
}

void TSidePanel::BuildPngTab(QWidget* page)
{
    SpTBXButton7 = Button(QStringLiteral("Add to Photo"));
    SpTBXButton8 = Button(QStringLiteral("Load Png Frame From File"));
    thPng = new TPicThumb;
    SetPanelOptions(*thPng);
    thPng->OnCreateThumb = &TSidePanel::thPngCreateThumb;

    auto* bar = new QHBoxLayout;
    bar->addWidget(SpTBXButton7);
    bar->addWidget(SpTBXButton8);
    bar->addStretch();
    auto* layout = PageLayout(page);
    layout->addLayout(bar);
    layout->addWidget(thPng, 1);

    connect(thPng, &TPicThumb::DblClick, this, Guarded(m_host, [this] { thPngDblClick(); }));
    connect(SpTBXButton7, &QPushButton::clicked, this,
            Guarded(m_host, [this] { SpTBXButton7Click(); }));
    connect(SpTBXButton8, &QPushButton::clicked, this,
            Guarded(m_host, [this] { SpTBXButton8Click(); }));
}

void TSidePanel::BuildClipArtTab(QWidget* page)
{
    lblPicture = new QLabel(QStringLiteral("Picture"));
    lsbPicture = new QComboBox;
    lsbPicture->setEditable(false);
    SpTBXButton3 = Button(QStringLiteral("Add to Photo"));
    SpTBXButton9 = Button(QStringLiteral("Load clipart from file"));
    thuPicture = new TPicThumb;
    SetPanelOptions(*thuPicture);
    thuPicture->OnCreateThumb = &TSidePanel::thPngCreateThumb;

    auto* bar = new QHBoxLayout;
    bar->addWidget(lblPicture);
    bar->addWidget(lsbPicture, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SpTBXButton3);
    buttons->addWidget(SpTBXButton9);
    buttons->addStretch();
    auto* layout = PageLayout(page);
    layout->addLayout(bar);
    layout->addLayout(buttons);
    layout->addWidget(thuPicture, 1);

    connect(lsbPicture, &QComboBox::activated, this,
            Guarded(m_host, [this] { lsbPictureChange(); }));
    connect(thuPicture, &TPicThumb::DblClick, this,
            Guarded(m_host, [this] { thuPictureDblClick(); }));
    connect(SpTBXButton3, &QPushButton::clicked, this,
            Guarded(m_host, [this] { SpTBXButton3Click(); }));
    connect(SpTBXButton9, &QPushButton::clicked, this,
            Guarded(m_host, [this] { SpTBXButton9Click(); }));
}

// ---------------------------------------------------------------------------
// Folder listings

void TSidePanel::FillFolderCombo(QComboBox* Combo, const QString& Folder)
{
    Combo->clear();
    Combo->addItems(FolderEntries(Folder));
}

void TSidePanel::AddFolderFiles(TPicThumb* Thumb, const QString& Folder, const QString& Pattern)
{
    const QString pattern = AsciiLower(Pattern);
    for (const QString& name : FolderEntries(Folder)) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0)
            continue;
        const QString ext = AsciiLower(name.mid(dot));
        if (pattern.contains(ext))
            Thumb->AddFile(Folder + name);
    }
}

// ---------------------------------------------------------------------------
// Start-up and category changes

void TSidePanel::FillAtStartUp()
{
    FillFolderCombo(lsbFrame, ProgramFolder() + QStringLiteral("Frame/"));
    if (lsbFrame->count() > 0)
        lsbFrame->setCurrentIndex(0);
    lsbFrameChange();

    FillFolderCombo(lsbPicture, ProgramFolder() + QStringLiteral("clipart/"));
    if (lsbPicture->count() > 0)
        lsbPicture->setCurrentIndex(0);
    lsbPictureChange();

    thPng->StopThumbs();
    thPng->Clear();
    AddFolderFiles(thPng, ProgramFolder() + QStringLiteral("/png/"), QStringLiteral("*.png"));
    thPng->BuildThumbs();
    thPng->viewport()->update();
}

void TSidePanel::ReloadCategory(QComboBox* Combo, TPicThumb* Thumb, const QString& Kind,
                                const QString& Pattern, bool OnWorker)
{
    if (TrimControls(Combo->currentText()).isEmpty())
        return;
    Thumb->StopThumbs();
    Thumb->Clear();
    // Clear may have processed events: the category is read only now.
    const QString category = Combo->currentText();
    if (TrimControls(category).isEmpty())
        return;
    AddFolderFiles(Thumb,
                   ProgramFolder() + QStringLiteral("/") + Kind + QStringLiteral("/") + category +
                       QStringLiteral("/"),
                   Pattern);
    if (OnWorker)
        Thumb->StartThumbs();
    else
        Thumb->BuildThumbs();
    Thumb->viewport()->update();
}

void TSidePanel::lsbFrameChange()
{
    ReloadCategory(lsbFrame, thuFrame, QStringLiteral("Frame"), QStringLiteral("*.okx"), true);
}

void TSidePanel::lsbPictureChange()
{
    ReloadCategory(lsbPicture, thuPicture, QStringLiteral("clipart"), QStringLiteral("*.png"),
                   false);
}

// ---------------------------------------------------------------------------
// Thumbnail callbacks

void TSidePanel::thuFrameCreateThumb(TPicThumb* Sender, const QString& AFileName,
                                     TThumbBitmap& AThumBmp, int32_t AWidth, int32_t AHeight,
                                     PImageInfor /*ImageInfor*/)
{
    // An unreadable or damaged file spoils its own thumbnail only: the error
    // stops here instead of ending the whole run.
    try {
        // A browser cleared or destroyed meanwhile waits for one picture at
        // most, not for the whole file.
        std::function<bool()> stopRequested;
        if (Sender)
            stopRequested = [Sender] { return Sender->State() == TPicThumb::StateStopRequested; };
        std::unique_ptr<TFrameMakerBase> maker =
            LoadFrameMaker(AFileName, 3 * AWidth, 3 * AHeight, std::move(stopRequested));
        if (!maker)
            return;
        QImage rendered;
        maker->Render(rendered);

        std::lock_guard<std::mutex> lock(AThumBmp.Lock());
        try {
            AThumBmp.Image = NewBitmap(AWidth, AHeight);
            QPainter painter(&AThumBmp.Image);
            SetInterpolationMode(painter, TInterpolation::Default);
            DrawBitmap(painter, rendered, QRectF(2, 2, AWidth - 2, AHeight - 2),
                       QRect(0, 0, 3 * AWidth, 3 * AHeight));
        } catch (...) {
            AThumBmp.Image = QImage();
        }
    } catch (...) {
    }
}

void TSidePanel::thPngCreateThumb(TPicThumb* /*Sender*/, const QString& AFileName,
                                  TThumbBitmap& AThumBmp, int32_t AWidth, int32_t AHeight,
                                  PImageInfor /*ImageInfor*/)
{
    try {
        // Only the thumbnail's size is decoded where the reader can reduce
        // while it decodes.
        const QSize full = ImageFileSize(AFileName);
        const QSize fitted =
            full.isValid() ? FitThumbSize(full.width(), full.height(), AWidth, AHeight) : QSize();
        const QImage image = DecodeImageFile(AFileName, fitted);
        const QSize size = FitThumbSize(image.width(), image.height(), AWidth, AHeight);
        std::lock_guard<std::mutex> lock(AThumBmp.Lock());
        try {
            AThumBmp.Image = NewBitmap(size.width(), size.height());
            if (AThumBmp.Image.isNull())
                return;
            QPainter painter(&AThumBmp.Image);
            SetInterpolationMode(painter, TInterpolation::Default);
            DrawBitmap(painter, image, QRectF(0, 0, size.width(), size.height()),
                       QRect(0, 0, image.width(), image.height()));
        } catch (...) {
            AThumBmp.Image = QImage();
        }
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------
// Commands

void TSidePanel::thuFrameDblClick()
{
    const int32_t index = thuFrame->ItemIndex;
    if (index < 0 || index >= thuFrame->FileList().size())
        return;
    const QString name = thuFrame->FileList().at(index);
    std::unique_ptr<TFrameMakerBase> maker =
        LoadFrameMaker(name, m_canvas->GetFrameWidth(), m_canvas->GetFrameHeight());
    if (!maker)
        return;
    m_canvas->LoadFrameImage(*maker);
}

void TSidePanel::thPngDblClick()
{
    const QStringList& files = thPng->FileList();
    if (files.isEmpty())
        return;
    int32_t index = thPng->ItemIndex;
    if (index == -1)
        index = 0;
    if (index < 0 || index >= files.size())
        return;
    m_canvas->LoadFrame(files.at(index));
}

void TSidePanel::SpTBXButton8Click()
{
    const QString name = ChoosePng();
    if (!name.isEmpty())
        m_canvas->LoadFrame(name);
}

void TSidePanel::thuPictureDblClick()
{
    const int32_t index = thuPicture->ItemIndex;
    if (index < 0 || index >= thuPicture->FileList().size())
        return;
    m_canvas->AddClipArt(thuPicture->FileList().at(index));
}

void TSidePanel::SpTBXButton9Click()
{
    const QString name = ChoosePng();
    if (!name.isEmpty())
        m_canvas->AddClipArt(name);
}

QString TSidePanel::ChoosePng()
{
    return OpenPictureDialog2->ChooseFile();
}
