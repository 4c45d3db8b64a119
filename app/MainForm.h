#pragma once

// The main window: menu bar and tool bar, the side panel with its four tabs,
// the canvas, the status bar with the frame rectangle, and the window's own
// commands. Every handler is connected through Guarded (HandlerGuard.h).

#include "DesktopServices.h"
#include "OpenPictureDialog.h"
#include "ProgramFolder.h"
#include "SaveAsDialog.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTextEdit;
class QToolBar;
class TFontOption;
class TFontSelectDialog;
class TMapiControl;
class TPicThumb;
class TQynKadrix;
class TRectBase;
class TSidePanel;

class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    // Creating the window runs FormCreate, which may show the tip of the day
    // before the window itself is shown.
    explicit TfrmMain(TDesktopServices Services = TDesktopServices::System(),
                      TProgramFolderFunc ProgramFolder = ExecutableFolder,
                      QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The program folder, ending with "/".
    QString ProgramFolder() const { return m_programFolder(); }
    // Shows the window maximised over the screen's available area; its
    // normal bounds stay 652 x 493, centred on that area.
    void ShowMaximised();

    // --- Form events ---------------------------------------------------------
    void FormCreate();
    // On the first showing only: fills the side panel.
    void FormShow();
    // Once, when the window first stands at its final size: loads the default
    // frame, then the default photo.
    void FormActivate();
    // The frame rectangle into the status bar.
    void QynKadrix1MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    // Enables Undo and Redo (menu and tool bar) from the canvas.
    void UpdateUndoRedo();

    // --- Side panel, also for other windows through frmMain ---------------------
    // Category names of a folder into Combo; matching files of a folder
    // appended to Thumb; the frame list reloaded from lsbFrame's category.
    void FillFolderCombo(QComboBox* Combo, const QString& Folder);
    void AddFolderFiles(TPicThumb* Thumb, const QString& Folder, const QString& Pattern);
    void lsbFrameChange();
    // The Frame tab's "New Simple Frame", "New Ornate Frame" and "Edit"
    // (FrameDesignCommands.cpp).
    void SpTBXItem16Click();
    void SpTBXItem17Click();
    void SpTBXButton4Click();

    // --- Commands --------------------------------------------------------------
    void mOpenPhotoClick();
    void mSaveClick();
    void mExitClick();
    void mUndoClick();
    void mRedoClick();
    void pmDeleteClick();
    void pmSendtoBackClick();
    void pnBringtoFrontClick();
    // Flip left to right, flip top to bottom, turn right, turn left.
    void SpTBXItem1Click();
    void SpTBXItem2Click();
    void SpTBXItem9Click();
    void SpTBXItem10Click();
    void mWallpaperClick();
    // "Print" and the tool bar's "PrintPreview": the composition at the
    // photo's own resolution in a new frmPrintPic, shown modally.
    void mPrintClick();
    // Sends the framed photo to the address asked for in a new frmSendMail.
    void mEmailClick();
    void mContentsClick();
    void SpTBXItem4Click();
    void SpTBXItem7Click();
    void SpTBXItem8Click();
    // Photo menu: the colour adjustment dialogs, then Undo/Redo brought up
    // to date.
    void mBrightnessClick();
    void mColorAdjustClick();
    void mSaturationClick();
    // Help menu "About".
    void SpTBXItem3Click();
    // "New Picture Frame" of the Frame tab: the picture frame designer; a
    // stored frame is appended to the frame list and the "User" category
    // shown.
    void SpTBXItem18Click();
    // "Save" of the Frame tab: the selected frame file exported as a PNG of
    // the size and name asked for in a new TfrmSavePNG.
    void SpTBXButton5Click();
    // Output menu "Add Frame to photo in bulk": a new frmBatchFrame, shown
    // modally.
    void SpTBXItem15Click();
    // "Add New Text", "Apply", "Select Font" of the Text tab.
    void SpTBXButton1Click();
    void SpTBXButton2Click();
    void SpTBXButton10Click();
    void QynKadrix1LButtonDown(TRectBase* Sender, int X, int Y);
    void QynKadrix1RbuttonDown(TRectBase* Sender, int X, int Y);
    void QynKadrix1PicDoubleClick(TRectBase* Sender, int X, int Y);

    // The text colour of edtText (its font's colour).
    QColor TextColor() const;
    void SetTextColor(const QColor& color);

    // --- Components ------------------------------------------------------------
    TQynKadrix* QynKadrix1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTabWidget* SpTBXTabControl1 = nullptr;
    QWidget* tabFrame = nullptr;
    QWidget* tabPngFrame = nullptr;
    QWidget* tabClipArt = nullptr;
    QWidget* tabText = nullptr;
    // The Frame, Png Frame and ClipArt tabs.
    std::unique_ptr<TSidePanel> SidePanel;
    QGroupBox* GroupBox1 = nullptr;
    QTextEdit* edtText = nullptr;
    QPushButton* SpTBXButton1 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    QPushButton* SpTBXButton10 = nullptr;
    QLabel* lblFrame = nullptr;
    QLabel* lblX = nullptr;
    QLabel* lblY = nullptr;
    QLabel* lblWidth = nullptr;
    QLabel* lblHeight = nullptr;

    QToolBar* ToolBar = nullptr;
    // Menu bar items.
    QAction* mSave = nullptr;
    QAction* mOpenPhoto = nullptr;
    QAction* mPrint = nullptr;
    QAction* mExit = nullptr;
    QAction* mUndo = nullptr;
    QAction* mRedo = nullptr;
    QAction* mDelete = nullptr;
    QAction* mSendtoBack = nullptr;
    QAction* mBringtoFront = nullptr;
    QAction* SpTBXItem1 = nullptr;
    QAction* SpTBXItem2 = nullptr;
    QAction* SpTBXItem10 = nullptr;
    QAction* SpTBXItem9 = nullptr;
    QAction* mSaveToFile = nullptr;
    QAction* mEmail = nullptr;
    QAction* mWallpaper = nullptr;
    QAction* SpTBXItem15 = nullptr;
    QAction* mBrightness = nullptr;
    QAction* mColorAdjust = nullptr;
    QAction* mSaturation = nullptr;
    QAction* mContents = nullptr;
    QAction* SpTBXItem4 = nullptr;
    QAction* SpTBXItem7 = nullptr;
    QAction* SpTBXItem8 = nullptr;
    QAction* SpTBXItem3 = nullptr;
    // Tool bar buttons.
    QAction* btnOpen = nullptr;
    QAction* btnSave = nullptr;
    QAction* btnUndo = nullptr;
    QAction* btnRedo = nullptr;
    QAction* btnDelete = nullptr;
    QAction* btnPrintPreview = nullptr;
    QAction* btnEmail = nullptr;
    QAction* btnWallpaper = nullptr;
    QAction* btnHelp = nullptr;
    // The object menu and its items.
    QMenu* SpTBXPopupMenu1 = nullptr;
    QAction* pmDelete = nullptr;
    QAction* pmSendtoBack = nullptr;
    QAction* pnBringtoFront = nullptr;
    QAction* pmFlipX = nullptr;
    QAction* pmFlipY = nullptr;
    QAction* pmRotateLeft = nullptr;
    QAction* pmRotateRight = nullptr;

    QPointer<TOpenPictureDialog> OpenPictureDialog1;
    std::unique_ptr<TSaveAsDialog> SaveDialog1;
    QPointer<TFontSelectDialog> FontDialog1;
    // The mail component of the mail command (no dialog of its own, no events).
    TMapiControl* MapiControl1 = nullptr;

    // The filter of OpenPictureDialog1 as the file dialog takes it.
    static QStringList OpenPictureFilters();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePopupMenu();
    void CreateSidePanel();
    void CreateStatusBar();
    void CreateDialogs();
    void ConnectCanvas();
    // Connects an item to a handler through the exception wrapper.
    void Connect(QAction* action, void (TfrmMain::*handler)());
    // A text style from edtText's font and colour; null for a blank text.
    std::unique_ptr<TFontOption> TextOption() const;
    // Runs FormActivate once the window stands at its final size.
    void ScheduleActivate();
    // Runs FormActivate when the window manager did not give it its final
    // size in time, asking RetriesLeft times more while a maximised size
    // is still to come.
    void ActivateLate(int RetriesLeft);
    bool HasFinalSize() const;

    TDesktopServices m_services;
    TProgramFolderFunc m_programFolder;
    // The batch wizard's photo and PNG frame folders, kept from one wizard to
    // the next.
    TLastFolder m_batchPhotoFolder;
    TLastFolder m_batchPngFolder;
    bool m_shown = false;
    bool m_activated = false;
    bool m_activatePending = false;
};

// The one main window; set when it is created.
extern QPointer<TfrmMain> frmMain;
