#include "MainForm.h"

#include "About.h"
#include "AdjustRGB.h"
#include "BatchFrame.h"
#include "FontSelectDialog.h"
#include "FramePngExport.h"
#include "Glyphs.h"
#include "HandlerGuard.h"
#include "Lightless.h"
#include "PhotoMailer.h"
#include "PictureFrame.h"
#include "PrintPic.h"
#include "PrintPrevew.h"
#include "ProgramInfo.h"
#include "Saturation.h"
#include "SavePNGDialog.h"
#include "SendEmail.h"
#include "SidePanel.h"
#include "TipForm.h"

#include "EffectUnit.h"
#include "FontOption.h"
#include "MapiControl.h"
#include "QynKadrix.h"
#include "TextClass.h"
#include "UniFuncs.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

QPointer<TfrmMain> frmMain;

namespace {
// The picture-open dialog's filter: description and pattern list alternate.
const QString kOpenPictureFilter = QStringLiteral(
    "All |*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.exif;*.tiff;*.tif;*.png;*.gif|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
    "Png Image File(*.png)|*.png|GIF Image File(*.gif)|*.gif|TIF(*.tif)|*.tiff|"
    "TIFF (*.tif)|*.tif|Exif (*.Exif)|*.exif");

constexpr int kSidePanelWidth = 341;
constexpr int kSplitterWidth = 5;
constexpr int kStatusBarHeight = 22;
constexpr int kStatusLabelWidth = 100;
// A window manager that never maximises the window still gets the default
// frame and photo after this time; a maximised size that is on its way (a
// busy start-up can hold the window system's news back) is waited for a
// little longer, in these steps.
constexpr int kActivateFallbackMs = 1000;
constexpr int kActivateRetryMs = 100;
constexpr int kActivateRetries = 20;

// Trims blanks and control characters at both ends, as the text commands
// decide whether there is any text.
QString TrimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

// The edit's font as a fresh font of that name, point size and style.
QFont PlainFont(const QFont& source)
{
    QFont font(source.family(), source.pointSize() > 0 ? source.pointSize() : 8);
    font.setBold(source.bold());
    font.setItalic(source.italic());
    font.setUnderline(source.underline());
    font.setStrikeOut(source.strikeOut());
    return font;
}
} // namespace

TfrmMain::TfrmMain(TDesktopServices Services, TProgramFolderFunc ProgramFolder, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(Services)),
      m_programFolder(std::move(ProgramFolder))
{
    frmMain = this;
    resize(652, 493);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePopupMenu();
    CreateSidePanel();
    CreateStatusBar();
    CreateDialogs();
    ConnectCanvas();
    RunGuarded(this, [this] { FormCreate(); });
}

TfrmMain::~TfrmMain()
{
    // The panel's commands name the canvas; it goes first.
    SidePanel.reset();
}

void TfrmMain::CreateActions()
{
    auto item = [this](const QString& caption) { return new QAction(caption, this); };
    mSave = item(QStringLiteral("Save"));
    mSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mSave->setIcon(GlyphIcon(TGlyph::Save));
    mOpenPhoto = item(QStringLiteral("Open Photo..."));
    mOpenPhoto->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mOpenPhoto->setIcon(GlyphIcon(TGlyph::Open));
    mPrint = item(QStringLiteral("Print"));
    mPrint->setIcon(GlyphIcon(TGlyph::Print));
    mExit = item(QStringLiteral("Exit"));
    mUndo = item(QStringLiteral("Undo"));
    mUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mUndo->setIcon(GlyphIcon(TGlyph::Undo));
    mRedo = item(QStringLiteral("Redo"));
    mRedo->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Z));
    mRedo->setIcon(GlyphIcon(TGlyph::Redo));
    mDelete = item(QStringLiteral("Delete Select Object"));
    mDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    mDelete->setIcon(GlyphIcon(TGlyph::Delete));
    mSendtoBack = item(QStringLiteral("Send to Back"));
    mBringtoFront = item(QStringLiteral("Bring to Front"));
    SpTBXItem1 = item(QStringLiteral("Flip Left to Right"));
    SpTBXItem2 = item(QStringLiteral("Flip Top to Bottom "));
    SpTBXItem10 = item(QStringLiteral("Rotate 90 Left"));
    SpTBXItem9 = item(QStringLiteral("Rotate 90 Right"));
    mSaveToFile = item(QStringLiteral("Save Photo to File"));
    mSaveToFile->setIcon(GlyphIcon(TGlyph::Save));
    mEmail = item(QStringLiteral("Send Photo to Friends"));
    mEmail->setIcon(GlyphIcon(TGlyph::Email));
    mWallpaper = item(QStringLiteral("Make Photo Wallpaper"));
    mWallpaper->setIcon(GlyphIcon(TGlyph::Wallpaper));
    SpTBXItem15 = item(QStringLiteral("Add Frame to photo in bulk"));
    mBrightness = item(QStringLiteral("Brightness/Contrast/Gamma"));
    mColorAdjust = item(QStringLiteral("Color Adjust"));
    mSaturation = item(QStringLiteral("Saturation"));
    mContents = item(QStringLiteral("Contents"));
    mContents->setShortcut(QKeySequence(Qt::Key_F1));
    mContents->setIcon(GlyphIcon(TGlyph::Help));
    SpTBXItem4 = item(QStringLiteral("Tip of the days"));
    SpTBXItem7 = item(QStringLiteral("Get Technical Support"));
    SpTBXItem8 = item(QStringLiteral("Visit us on the web"));
    SpTBXItem3 = item(QStringLiteral("About"));

    btnOpen = item(QStringLiteral("Open"));
    btnOpen->setToolTip(QStringLiteral("Open photo"));
    btnOpen->setIcon(GlyphIcon(TGlyph::Open));
    btnSave = item(QStringLiteral("Save"));
    btnSave->setToolTip(QStringLiteral("Save photo to a jpg file"));
    btnSave->setIcon(GlyphIcon(TGlyph::Save));
    btnUndo = item(QStringLiteral("Undo"));
    btnUndo->setIcon(GlyphIcon(TGlyph::Undo));
    btnRedo = item(QStringLiteral("Redo"));
    btnRedo->setIcon(GlyphIcon(TGlyph::Redo));
    btnDelete = item(QStringLiteral("Delete"));
    btnDelete->setToolTip(QStringLiteral("Delete the selected object."));
    btnDelete->setIcon(GlyphIcon(TGlyph::Delete));
    btnPrintPreview = item(QStringLiteral("PrintPreview"));
    btnPrintPreview->setToolTip(QStringLiteral("Print the framed photo"));
    btnPrintPreview->setIcon(GlyphIcon(TGlyph::Print));
    btnEmail = item(QStringLiteral("Email"));
    btnEmail->setToolTip(QStringLiteral("send your photo to your friend "));
    btnEmail->setIcon(GlyphIcon(TGlyph::Email));
    btnWallpaper = item(QStringLiteral("Wallpaper"));
    btnWallpaper->setIcon(GlyphIcon(TGlyph::Wallpaper));
    btnHelp = item(QStringLiteral("Help"));
    btnHelp->setIcon(GlyphIcon(TGlyph::Help));

    for (QAction* action : {mUndo, mRedo, btnUndo, btnRedo})
        action->setEnabled(false);

    Connect(mSave, &TfrmMain::mSaveClick);
    Connect(mOpenPhoto, &TfrmMain::mOpenPhotoClick);
    Connect(mExit, &TfrmMain::mExitClick);
    Connect(mUndo, &TfrmMain::mUndoClick);
    Connect(mRedo, &TfrmMain::mRedoClick);
    Connect(mDelete, &TfrmMain::pmDeleteClick);
    Connect(mSendtoBack, &TfrmMain::pmSendtoBackClick);
    Connect(mBringtoFront, &TfrmMain::pnBringtoFrontClick);
    Connect(SpTBXItem1, &TfrmMain::SpTBXItem1Click);
    Connect(SpTBXItem2, &TfrmMain::SpTBXItem2Click);
    Connect(SpTBXItem10, &TfrmMain::SpTBXItem10Click);
    Connect(SpTBXItem9, &TfrmMain::SpTBXItem9Click);
    Connect(mSaveToFile, &TfrmMain::mSaveClick);
    Connect(mWallpaper, &TfrmMain::mWallpaperClick);
    Connect(mPrint, &TfrmMain::mPrintClick);
    Connect(mEmail, &TfrmMain::mEmailClick);
    Connect(mContents, &TfrmMain::mContentsClick);
    Connect(SpTBXItem4, &TfrmMain::SpTBXItem4Click);
    Connect(SpTBXItem7, &TfrmMain::SpTBXItem7Click);
    Connect(SpTBXItem8, &TfrmMain::SpTBXItem8Click);
    Connect(mBrightness, &TfrmMain::mBrightnessClick);
    Connect(mColorAdjust, &TfrmMain::mColorAdjustClick);
    Connect(mSaturation, &TfrmMain::mSaturationClick);
    Connect(SpTBXItem3, &TfrmMain::SpTBXItem3Click);
    Connect(SpTBXItem15, &TfrmMain::SpTBXItem15Click);
    Connect(btnOpen, &TfrmMain::mOpenPhotoClick);
    Connect(btnSave, &TfrmMain::mSaveClick);
    Connect(btnUndo, &TfrmMain::mUndoClick);
    Connect(btnRedo, &TfrmMain::mRedoClick);
    Connect(btnDelete, &TfrmMain::pmDeleteClick);
    Connect(btnWallpaper, &TfrmMain::mWallpaperClick);
    Connect(btnPrintPreview, &TfrmMain::mPrintClick);
    Connect(btnEmail, &TfrmMain::mEmailClick);
    Connect(btnHelp, &TfrmMain::mContentsClick);
}

void TfrmMain::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addActions({mSave, mOpenPhoto});
    file->addSeparator();
    file->addAction(mPrint);
    file->addSeparator();
    file->addAction(mExit);
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addActions({mUndo, mRedo});
    edit->addSeparator();
    edit->addActions(
        {mDelete, mSendtoBack, mBringtoFront, SpTBXItem1, SpTBXItem2, SpTBXItem10, SpTBXItem9});
    QMenu* output = bar->addMenu(QStringLiteral("&Output"));
    output->addActions({mSaveToFile, mEmail, mWallpaper, SpTBXItem15});
    QMenu* photo = bar->addMenu(QStringLiteral("&Photo"));
    photo->addActions({mBrightness, mColorAdjust, mSaturation});
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addActions({mContents, SpTBXItem4});
    help->addSeparator();
    help->addActions({SpTBXItem7, SpTBXItem8});
    help->addSeparator();
    help->addAction(SpTBXItem3);
}

void TfrmMain::CreateToolBar()
{
    ToolBar = addToolBar(QStringLiteral("ToolBar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->toggleViewAction()->setEnabled(false);
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar->setIconSize(QSize(24, 24));
    ToolBar->addActions({btnOpen, btnSave});
    ToolBar->addSeparator();
    ToolBar->addActions({btnUndo, btnRedo, btnDelete});
    ToolBar->addSeparator();
    ToolBar->addActions({btnPrintPreview, btnEmail, btnWallpaper});
    ToolBar->addSeparator();
    ToolBar->addAction(btnHelp);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TfrmMain::CreatePopupMenu()
{
    SpTBXPopupMenu1 = new QMenu(this);
    auto item = [this](const QString& caption, void (TfrmMain::*handler)()) {
        QAction* action = SpTBXPopupMenu1->addAction(caption);
        Connect(action, handler);
        return action;
    };
    pmDelete = item(QStringLiteral("Delete"), &TfrmMain::pmDeleteClick);
    pmDelete->setIcon(GlyphIcon(TGlyph::Delete));
    pmSendtoBack = item(QStringLiteral("Send to Back"), &TfrmMain::pmSendtoBackClick);
    pnBringtoFront = item(QStringLiteral("Bring to Front"), &TfrmMain::pnBringtoFrontClick);
    pmFlipX = item(QStringLiteral("Flip Left to Right"), &TfrmMain::SpTBXItem1Click);
    pmFlipY = item(QStringLiteral("Flip Top to Bottom"), &TfrmMain::SpTBXItem2Click);
    pmRotateLeft = item(QStringLiteral("Rotate 90 Left"), &TfrmMain::SpTBXItem10Click);
    pmRotateRight = item(QStringLiteral("Rotate 90 Right"), &TfrmMain::SpTBXItem9Click);
}

void TfrmMain::CreateSidePanel()
{
    SpTBXTabControl1 = new QTabWidget;
    tabFrame = new QWidget;
    tabPngFrame = new QWidget;
    tabClipArt = new QWidget;
    tabText = new QWidget;
    SpTBXTabControl1->addTab(tabFrame, QStringLiteral("Frame"));
    SpTBXTabControl1->addTab(tabPngFrame, QStringLiteral("Png Frame"));
    SpTBXTabControl1->addTab(tabClipArt, QStringLiteral("ClipArt"));
    SpTBXTabControl1->addTab(tabText, QStringLiteral("Text"));
    SpTBXTabControl1->setCurrentIndex(0);

    GroupBox1 = new QGroupBox(QStringLiteral("Add Text to Photo"), tabText);
    edtText = new QTextEdit;
    edtText->setAcceptRichText(false);
    edtText->setFixedSize(288, 121);
    QFont textFont(QStringLiteral("MS Sans Serif"), 8);
    edtText->setFont(textFont);
    SetTextColor(Qt::black);
    SpTBXButton1 = new QPushButton(QStringLiteral("Add New Text"));
    SpTBXButton2 = new QPushButton(QStringLiteral("Apply"));
    SpTBXButton10 = new QPushButton(QStringLiteral("Select Font"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {SpTBXButton1, SpTBXButton2, SpTBXButton10}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->addWidget(edtText);
    groupLayout->addLayout(buttons);
    GroupBox1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* textLayout = new QVBoxLayout(tabText);
    textLayout->addWidget(GroupBox1);
    textLayout->addStretch();
    connect(SpTBXButton1, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton1Click(); }));
    connect(SpTBXButton2, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton2Click(); }));
    connect(SpTBXButton10, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton10Click(); }));

    QynKadrix1 = new TQynKadrix;
    QynKadrix1->SetBKColor(MakeColorRef(255, 255, 255));

    SidePanel = std::make_unique<TSidePanel>(QynKadrix1, m_programFolder, tabFrame, tabPngFrame,
                                             tabClipArt);
    // Every frame load ends with the Undo and Redo items brought up to date;
    // these run after the panel's own handlers.
    auto update = Guarded(this, [this] { UpdateUndoRedo(); });
    connect(SidePanel->thuFrame, &TPicThumb::DblClick, this, update);
    connect(SidePanel->thPng, &TPicThumb::DblClick, this, update);
    for (QPushButton* button :
         {SidePanel->SpTBXButton6, SidePanel->SpTBXButton7, SidePanel->SpTBXButton8})
        connect(button, &QPushButton::clicked, this, update);
    Connect(SidePanel->mNewSimpleFrame, &TfrmMain::SpTBXItem16Click);
    Connect(SidePanel->mNewOrnateFrame, &TfrmMain::SpTBXItem17Click);
    connect(SidePanel->btnEdit, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton4Click(); }));
    Connect(SidePanel->mNewPictureFrame, &TfrmMain::SpTBXItem18Click);
    connect(SidePanel->btnSaveFrame, &QPushButton::clicked, this,
            Guarded(this, [this] { SpTBXButton5Click(); }));

    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setHandleWidth(kSplitterWidth);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(SpTBXTabControl1);
    Splitter1->addWidget(QynKadrix1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kSidePanelWidth, width() - kSidePanelWidth - kSplitterWidth});
    setCentralWidget(Splitter1);
}

void TfrmMain::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setFixedHeight(kStatusBarHeight);
    bar->setSizeGripEnabled(false);
    lblFrame = new QLabel(QStringLiteral("Frame position and size"));
    lblX = new QLabel(QStringLiteral("X:"));
    lblY = new QLabel(QStringLiteral("Y:    "));
    lblWidth = new QLabel(QStringLiteral("Width:  "));
    lblHeight = new QLabel(QStringLiteral("Height:"));
    bar->addWidget(lblFrame);
    for (QLabel* label : {lblX, lblY, lblWidth, lblHeight}) {
        label->setFixedWidth(kStatusLabelWidth);
        bar->addWidget(label);
    }
}

void TfrmMain::CreateDialogs()
{
    OpenPictureDialog1 = new TOpenPictureDialog(this, OpenPictureFilters());

    SaveDialog1 = std::make_unique<TSaveAsDialog>(this, QStringLiteral("*.jpg (*.jpg)"),
                                                  QStringLiteral("JPG"));

    MapiControl1 = new TMapiControl(this);
    MapiControl1->ShowDialog = false;
    MapiControl1->UseAppHandle = true;

    FontDialog1 = new TFontSelectDialog(this);
    QFont initial(QStringLiteral("Microsoft Sans Serif"), 8);
    FontDialog1->SetSelectedFont(initial);
}

void TfrmMain::ConnectCanvas()
{
    QynKadrix1->ONLButtonDown = Guarded(
        this, [this](TRectBase* Sender, int X, int Y) { QynKadrix1LButtonDown(Sender, X, Y); });
    QynKadrix1->OnRbuttonDown = Guarded(
        this, [this](TRectBase* Sender, int X, int Y) { QynKadrix1RbuttonDown(Sender, X, Y); });
    QynKadrix1->PicDoubleClick = Guarded(
        this, [this](TRectBase* Sender, int X, int Y) { QynKadrix1PicDoubleClick(Sender, X, Y); });
    QynKadrix1->OnMouseMove = Guarded(this, [this](Qt::KeyboardModifiers Shift, int X, int Y) {
        QynKadrix1MouseMove(Shift, X, Y);
    });
}

void TfrmMain::Connect(QAction* action, void (TfrmMain::*handler)())
{
    connect(action, &QAction::triggered, this,
            Guarded(this, [this, handler] { (this->*handler)(); }));
}

QStringList TfrmMain::OpenPictureFilters()
{
    return TOpenPictureDialog::NameFilters(kOpenPictureFilter);
}

// --- Start-up -------------------------------------------------------------------

void TfrmMain::FormCreate()
{
    setWindowTitle(QStringLiteral("Orvo %1").arg(QString::fromLatin1(kProgramVersion)));
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    ShowTipsAtStartup();
}

void TfrmMain::ShowMaximised()
{
    // The normal bounds, which un-maximising brings back, keep their own
    // size, centred on the screen's available area, so the title bar stays
    // on the screen.
    if (const QScreen* screen = this->screen()) {
        QRect normal(QPoint(0, 0), size());
        normal.moveCenter(screen->availableGeometry().center());
        move(normal.topLeft());
    }
    showMaximized();
}

void TfrmMain::FillFolderCombo(QComboBox* Combo, const QString& Folder)
{
    TSidePanel::FillFolderCombo(Combo, Folder);
}

void TfrmMain::AddFolderFiles(TPicThumb* Thumb, const QString& Folder, const QString& Pattern)
{
    TSidePanel::AddFolderFiles(Thumb, Folder, Pattern);
}

void TfrmMain::lsbFrameChange()
{
    SidePanel->lsbFrameChange();
}

void TfrmMain::SpTBXItem18Click()
{
    // Each use makes a new designer; the window frees them all when it goes.
    frmPictureFrame = new TfrmPictureFrame(this, m_programFolder);
    if (frmPictureFrame->exec() != QDialog::Accepted)
        return;
    TPicThumb* thuFrame = SidePanel->thuFrame;
    thuFrame->AddFile(frmPictureFrame->FileName);
    QComboBox* lsbFrame = SidePanel->lsbFrame;
    // Found whatever the letter case; none found leaves no selection.
    lsbFrame->setCurrentIndex(lsbFrame->findText(QStringLiteral("User"), Qt::MatchFixedString));
    thuFrame->SetItemIndex(thuFrame->Count() - 1);
    lsbFrameChange();
}

void TfrmMain::SpTBXButton5Click()
{
    TPicThumb* thuFrame = SidePanel->thuFrame;
    if (thuFrame->ItemIndex == -1)
        return;
    // Each use makes a new dialog with the start values; the window frees
    // them all when it goes.
    auto* dialog = new TfrmSavePNG(ProgramFolder(), this);
    if (dialog->exec() != QDialog::Accepted)
        return;
    const int32_t index = thuFrame->ItemIndex;
    if (index < 0 || index >= thuFrame->FileList().size())
        return;
    TFramePngExport::Export(thuFrame->FileList().at(index), dialog->OutputFileName(),
                            dialog->FrameWidth(), dialog->FrameHeight());
}

void TfrmMain::SpTBXItem15Click()
{
    // Each use makes a new wizard; the window frees them all when it goes.
    frmBatchFrame = new TfrmBatchFrame(this, m_batchPhotoFolder, m_batchPngFolder);
    frmBatchFrame->exec();
}

void TfrmMain::FormShow()
{
    SidePanel->FillAtStartUp();
}

void TfrmMain::FormActivate()
{
    QynKadrix1->LoadFrame(ProgramFolder() + QStringLiteral("/Default.png"));
    UpdateUndoRedo();
    QynKadrix1->OpenPhoto(ProgramFolder() + QStringLiteral("/Default.jpg"));
    UpdateUndoRedo();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        RunGuarded(this, [this] { FormShow(); });
        QTimer::singleShot(kActivateFallbackMs, this, [this] { ActivateLate(kActivateRetries); });
    }
    ScheduleActivate();
}

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    ScheduleActivate();
}

void TfrmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowStateChange)
        ScheduleActivate();
}

void TfrmMain::ScheduleActivate()
{
    if (m_activated || m_activatePending || !m_shown)
        return;
    m_activatePending = true;
    // After the pending layout and geometry events, so the canvas has its size.
    QTimer::singleShot(0, this, [this] {
        m_activatePending = false;
        if (m_activated || !isVisible() || isMinimized() || !HasFinalSize())
            return;
        m_activated = true;
        RunGuarded(this, [this] { FormActivate(); });
    });
}

void TfrmMain::ActivateLate(int RetriesLeft)
{
    if (m_activated || !isVisible())
        return;
    if (RetriesLeft > 0 && (windowState() & Qt::WindowMaximized) && !HasFinalSize()) {
        QTimer::singleShot(kActivateRetryMs, this,
                           [this, RetriesLeft] { ActivateLate(RetriesLeft - 1); });
        return;
    }
    m_activated = true;
    RunGuarded(this, [this] { FormActivate(); });
}

bool TfrmMain::HasFinalSize() const
{
    const QScreen* screen = this->screen();
    if (!screen)
        return true;
    const QRect available = screen->availableGeometry();
    // Maximised, the window's frame covers exactly the available area; the
    // geometry set before showing leaves room for a frame around it until the
    // maximised state is applied (and none without a window manager).
    return frameGeometry().size() == available.size();
}

// --- Status bar and undo state ----------------------------------------------------

void TfrmMain::QynKadrix1MouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    const TGPRect rect = QynKadrix1->GetFrameRect();
    lblX->setText(QStringLiteral("X:") + QString::number(rect.X));
    lblY->setText(QStringLiteral("Y:") + QString::number(rect.Y));
    lblWidth->setText(QStringLiteral("Width:") + QString::number(rect.Width));
    lblHeight->setText(QStringLiteral("Height:") + QString::number(rect.Height));
}

void TfrmMain::UpdateUndoRedo()
{
    const bool canRedo = QynKadrix1->CanRedo();
    const bool canUndo = QynKadrix1->CanUndo();
    mRedo->setEnabled(canRedo);
    btnRedo->setEnabled(canRedo);
    mUndo->setEnabled(canUndo);
    btnUndo->setEnabled(canUndo);
}

// --- Commands -----------------------------------------------------------------------

void TfrmMain::mOpenPhotoClick()
{
    const QString file = OpenPictureDialog1->ChooseFile();
    if (file.isEmpty())
        return;
    const TWaitCursor waitCursor;
    QynKadrix1->OpenPhoto(file);
    UpdateUndoRedo();
}

void TfrmMain::mSaveClick()
{
    const QString fileName = SaveDialog1->Choose();
    if (fileName.isEmpty())
        return;
    if (QFile::exists(fileName)) {
        QMessageBox question(QMessageBox::Information, QString::fromLatin1(kMessageCaption),
                             QStringLiteral("The File exists,are your sure to override it?"),
                             QMessageBox::Yes | QMessageBox::No);
        if (question.exec() != QMessageBox::Yes)
            return;
    }
    QynKadrix1->SaveJPEG(fileName, 1.0);
}

void TfrmMain::mExitClick()
{
    close();
}

void TfrmMain::mUndoClick()
{
    QynKadrix1->Undo();
    UpdateUndoRedo();
}

void TfrmMain::mRedoClick()
{
    QynKadrix1->Redo();
    UpdateUndoRedo();
}

void TfrmMain::pmDeleteClick()
{
    QynKadrix1->DeleteSelected();
    UpdateUndoRedo();
}

void TfrmMain::pmSendtoBackClick()
{
    QynKadrix1->SendToBack();
}

void TfrmMain::pnBringtoFrontClick()
{
    QynKadrix1->BringToFront();
}

void TfrmMain::SpTBXItem1Click()
{
    QynKadrix1->ApplyEffect(std::make_unique<TFlipX>());
    UpdateUndoRedo();
}

void TfrmMain::SpTBXItem2Click()
{
    QynKadrix1->ApplyEffect(std::make_unique<TFlipY>());
    UpdateUndoRedo();
}

void TfrmMain::SpTBXItem9Click()
{
    QynKadrix1->ApplyEffect(std::make_unique<TRotate90>());
    UpdateUndoRedo();
}

void TfrmMain::SpTBXItem10Click()
{
    QynKadrix1->ApplyEffect(std::make_unique<TRotateF90>());
    UpdateUndoRedo();
}

void TfrmMain::mWallpaperClick()
{
    const QString path = ProgramFolder() + QStringLiteral("/Wallpaper.jpg");
    QynKadrix1->SaveJPEG(path, 1.0);
    if (!m_services.Wallpaper->SetWallpaper(path)) {
        ShowInformationMessage(
            this, QStringLiteral("No desktop that takes a wallpaper was found, so the wallpaper "
                                 "was not changed. The picture is saved as %1.")
                      .arg(ShownPath(path)));
    }
}

void TfrmMain::mPrintClick()
{
    // A negative scale composes at the photo's own resolution; the preview
    // keeps its own copy of the picture.
    const QImage picture = QynKadrix1->ComposeBitmap(-1);
    frmPrintPic = new TfrmPrintPic(this);
    frmPrintPic->PrintPrevew1->SetPicture(picture);
    // The dialog frees itself when it closes.
    frmPrintPic->exec();
}

void TfrmMain::mEmailClick()
{
    frmSendMail = new TfrmSendMail(this);
    if (frmSendMail->exec() != QDialog::Accepted)
        return;
    const TPhotoMail mail{frmSendMail->edtSendto->text(), frmSendMail->edtSubject->text(),
                          frmSendMail->memMsg->toPlainText()};
    TPhotoMailer(this, *QynKadrix1, *MapiControl1).Send(mail, ProgramFolder());
}

void TfrmMain::mContentsClick()
{
    const QString path = ProgramFolder() + QStringLiteral("/help.html");
    if (!QFile::exists(path))
        return;
    m_services.Help->ShowHelp(path, [this, path] {
        ShowInformationMessage(
            this, QStringLiteral("No program could show the help page. A web browser can open "
                                 "it from this file:\n%1")
                      .arg(ShownPath(path)));
    });
}

void TfrmMain::SpTBXItem4Click()
{
    ShowTips();
}

void TfrmMain::SpTBXItem7Click()
{
    m_services.Addresses->OpenAddress(QString::fromLatin1(kSupportAddress));
}

void TfrmMain::SpTBXItem8Click()
{
    m_services.Addresses->OpenAddress(QString::fromLatin1(kWebAddress));
}

// The adjustment dialogs free themselves when their modal loop ends.
void TfrmMain::mBrightnessClick()
{
    (new TfrmBrightness(this))->exec();
    UpdateUndoRedo();
}

void TfrmMain::mColorAdjustClick()
{
    (new TfrmAdjustRGB(this))->exec();
    UpdateUndoRedo();
}

void TfrmMain::mSaturationClick()
{
    (new TfrmSaturation(this))->exec();
    UpdateUndoRedo();
}

// The about box stays with the window once closed.
void TfrmMain::SpTBXItem3Click()
{
    (new TfrmAbout(m_services.Addresses.get(), this))->exec();
}

QColor TfrmMain::TextColor() const
{
    return edtText->palette().color(QPalette::Text);
}

void TfrmMain::SetTextColor(const QColor& color)
{
    QPalette palette = edtText->palette();
    palette.setColor(QPalette::Text, color);
    edtText->setPalette(palette);
}

std::unique_ptr<TFontOption> TfrmMain::TextOption() const
{
    if (TrimControls(edtText->toPlainText()).isEmpty())
        return nullptr;
    auto option = std::make_unique<TFontOption>();
    option->Font = PlainFont(edtText->font());
    const QColor color = TextColor();
    option->Color1 = MakeColorRef(color.red(), color.green(), color.blue());
    option->Color2 = option->Color1;
    option->Angle = 1;
    return option;
}

void TfrmMain::SpTBXButton1Click()
{
    const std::unique_ptr<TFontOption> option = TextOption();
    if (!option)
        return;
    QynKadrix1->AddText(edtText->toPlainText(), *option);
}

void TfrmMain::SpTBXButton2Click()
{
    const std::unique_ptr<TFontOption> option = TextOption();
    if (!option)
        return;
    const QString text = edtText->toPlainText();
    if (!QynKadrix1->UpdateSelectedText(text, *option))
        QynKadrix1->AddText(text, *option);
}

void TfrmMain::SpTBXButton10Click()
{
    FontDialog1->SetSelectedFont(edtText->font());
    FontDialog1->SetSelectedColor(TextColor());
    if (FontDialog1->exec() != QDialog::Accepted)
        return;
    edtText->setFont(FontDialog1->SelectedFont());
    SetTextColor(FontDialog1->SelectedColor());
}

void TfrmMain::QynKadrix1LButtonDown(TRectBase* Sender, int X, int Y)
{
    const auto* text = dynamic_cast<const TTextClass*>(Sender);
    if (!text)
        return;
    const TFontOption& option = text->GetFontOption();
    QFont font = edtText->font();
    font.setFamily(option.Font.family());
    font.setPointSize(option.Font.pointSize() > 0 ? option.Font.pointSize() : 8);
    font.setBold(option.Font.bold());
    font.setItalic(option.Font.italic());
    font.setUnderline(option.Font.underline());
    font.setStrikeOut(option.Font.strikeOut());
    edtText->setFont(font);
    SetTextColor(ColorRefToColor(option.Color1));
    edtText->setPlainText(text->GetText());
}

void TfrmMain::QynKadrix1RbuttonDown(TRectBase* Sender, int X, int Y)
{
    // Opened at the pressed point on the screen; popup() rather than a nested
    // loop, so a command chosen from it never runs inside the press handling.
    SpTBXPopupMenu1->popup(QynKadrix1->mapToGlobal(QPoint(X, Y)));
}

void TfrmMain::QynKadrix1PicDoubleClick(TRectBase* Sender, int X, int Y)
{
    mOpenPhotoClick();
}
