#pragma once

// The side panel's "Frame", "Png Frame" and "ClipArt" tabs: the category
// lists, the three thumbnail browsers, their buttons and the commands that
// put a frame, a PNG frame or a clip-art picture on the canvas.
//
// The panel fills tab pages its window made; it owns no window of its own
// and has no parent: its window holds it and frees it before the pages.
// Folder paths are the program folder (ending with "/") joined with fixed
// relative parts, kept in exactly that joined form, doubled "/" included.

#include "PicThumb.h"
#include "ProgramFolder.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class TOpenPictureDialog;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QWidget;
class TQynKadrix;

class TSidePanel : public QObject
{
    Q_OBJECT

public:
    // Builds the three tabs into the given (empty) pages; the add commands go
    // to Canvas.
    TSidePanel(TQynKadrix* Canvas, TProgramFolderFunc ProgramFolder, QWidget* FramePage,
               QWidget* PngPage, QWidget* ClipArtPage);
    ~TSidePanel() override;

    // --- Folder listings, for any list and any browser -----------------------
    // Replaces Combo's items by the names of Folder's entries (folders and
    // files alike, "." and ".." left out), sorted by name ignoring case.
    // Folder ends with "/"; a missing folder leaves Combo empty.
    static void FillFolderCombo(QComboBox* Combo, const QString& Folder);
    // Appends to Thumb every entry of Folder whose extension (from the last
    // "." on, dot included) occurs, letter case aside, in Pattern taken as a
    // plain string: with "*.png" the extensions .png, .pn, .p and "." match.
    // The browser itself turns folders away. Neither clears nor builds.
    static void AddFolderFiles(TPicThumb* Thumb, const QString& Folder, const QString& Pattern);

    // --- Start-up and category changes -------------------------------------
    // Frame categories (first one shown, thumbnails on the worker), clip-art
    // categories (first one shown, thumbnails built at once), PNG frames.
    void FillAtStartUp();
    void lsbFrameChange();
    void lsbPictureChange();

    // --- Thumbnail callbacks --------------------------------------------------
    // A frame file's thumbnail, on the worker thread of any browser: the
    // frame rendered at three times the cell and drawn into (2, 2, AWidth - 2,
    // AHeight - 2). Touches nothing but its own objects and AThumBmp (under
    // its lock). A file without a generator, or one that fails to load or
    // render, leaves this thumbnail empty; the run goes on.
    static void thuFrameCreateThumb(TPicThumb* Sender, const QString& AFileName,
                                    TThumbBitmap& AThumBmp, int32_t AWidth, int32_t AHeight,
                                    PImageInfor ImageInfor);
    // A picture's thumbnail at its fitted size (FitThumbSize); an
    // undecodable picture leaves a 0 x 0 thumbnail.
    static void thPngCreateThumb(TPicThumb* Sender, const QString& AFileName,
                                 TThumbBitmap& AThumBmp, int32_t AWidth, int32_t AHeight,
                                 PImageInfor ImageInfor);

    // --- Commands -------------------------------------------------------------
    // The selected frame file, rendered at the canvas's frame size.
    void thuFrameDblClick();
    // The selected PNG frame, or the first when none is selected.
    void thPngDblClick();
    // A PNG frame chosen with OpenPictureDialog2.
    void SpTBXButton8Click();
    // The selected clip-art picture as a new overlay.
    void thuPictureDblClick();
    // A clip-art picture chosen with OpenPictureDialog2.
    void SpTBXButton9Click();
    // "Add to Photo" of each tab.
    void SpTBXButton6Click() { thuFrameDblClick(); }
    void SpTBXButton7Click() { thPngDblClick(); }
    void SpTBXButton3Click() { thuPictureDblClick(); }

    // --- Components -----------------------------------------------------------
    // "Frame" tab.
    QLabel* lblFrameCategory = nullptr;
    QComboBox* lsbFrame = nullptr;
    QPushButton* btnNew = nullptr;
    QMenu* pmNew = nullptr;
    QAction* mNewSimpleFrame = nullptr;
    QAction* mNewOrnateFrame = nullptr;
    QAction* mNewPictureFrame = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* SpTBXButton6 = nullptr;
    QPushButton* btnSaveFrame = nullptr;
    TPicThumb* thuFrame = nullptr;
    // "Png Frame" tab.
    QPushButton* SpTBXButton7 = nullptr;
    QPushButton* SpTBXButton8 = nullptr;
    TPicThumb* thPng = nullptr;
    // "ClipArt" tab.
    QLabel* lblPicture = nullptr;
    QComboBox* lsbPicture = nullptr;
    QPushButton* SpTBXButton3 = nullptr;
    QPushButton* SpTBXButton9 = nullptr;
    TPicThumb* thuPicture = nullptr;

    QPointer<TOpenPictureDialog> OpenPictureDialog2;

    // The option values every browser of the panel shows with.
    static void SetPanelOptions(TPicThumb& Thumb);

private:
    void BuildFrameTab(QWidget* page);
    void BuildPngTab(QWidget* page);
    void BuildClipArtTab(QWidget* page);
    // Refills Thumb from the category chosen in Combo; on the worker when
    // OnWorker, else at once.
    void ReloadCategory(QComboBox* Combo, TPicThumb* Thumb, const QString& Kind,
                        const QString& Pattern, bool OnWorker);
    // The file chosen with OpenPictureDialog2; empty when cancelled.
    QString ChoosePng();
    QString ProgramFolder() const { return m_programFolder(); }

    QPointer<TQynKadrix> m_canvas;
    TProgramFolderFunc m_programFolder;
    QPointer<QWidget> m_host;
};
