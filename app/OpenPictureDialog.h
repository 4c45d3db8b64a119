#pragma once

// The picture-open dialog: a file dialog with a preview of the selected
// picture beside its detailed file list. It opens in a folder its command
// names, else in the folder it was last used in, else in the user's pictures
// folder, with the files it opened last chosen again when they are there. It
// leaves the screen, completion popup included, before the caller goes on
// with the chosen file. Previews are decoded away from the window's thread
// and shown when they are ready.

#include <QFileDialog>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QCompleter;
class QLabel;
class TPreviewLoader;
struct TPreview;

// The folder a picture-open dialog was last used in, kept in memory while the
// program runs. Copies share the folder, so a window made anew for every use
// keeps it when its owner hands it the same one each time.
class TLastFolder
{
public:
    QString Get() const { return *m_folder; }
    void Set(const QString& Folder) { *m_folder = Folder; }

private:
    std::shared_ptr<QString> m_folder = std::make_shared<QString>();
};

class TOpenPictureDialog : public QFileDialog
{
    Q_OBJECT

public:
    // Filters: the dialog's name filters, the first chosen at every showing.
    TOpenPictureDialog(QWidget* parent, const QStringList& Filters, FileMode Mode = ExistingFile,
                       TLastFolder LastFolder = {});
    ~TOpenPictureDialog() override;

    // "text|patterns|..." pairs as name filters, one caption each: the text's
    // words and the patterns in brackets, where the file dialog reads them. A
    // text that ends in bracketed patterns of its own has them replaced.
    static QStringList NameFilters(const QString& Filter);
    // Where a dialog opens: Fixed when given, else LastUsed when it is still
    // there, else the user's pictures folder, else the home folder.
    static QString StartFolder(const QString& Fixed, const QString& LastUsed);

    // A folder the dialog opens in at every showing; empty (the default) for
    // the folder it was last used in.
    void SetStartFolder(const QString& Folder) { m_startFolder = Folder; }
    QString StartFolder() const;

    // Runs the dialog; the chosen files, none when it was cancelled. The
    // dialog is off the screen when this returns.
    QStringList Choose();
    // The first chosen file, empty when the dialog was cancelled.
    QString ChooseFile();

    // The preview of the selected file, null while it is decoded and when it
    // does not decode, and the text under it with the picture's size in
    // pixels.
    QImage PreviewPicture() const { return m_preview; }
    QString PreviewText() const;

    int exec() override;
    void done(int result) override;

private:
    // Asks for the preview of File, or clears it for an empty name.
    void ShowPreview(const QString& File);
    void PreviewReady(const TPreview& Preview);
    // The name box names the files opened last when they are in the folder
    // shown, else nothing; the list selects what it names.
    void ChooseLastAgain();
    void DetachCompletion();
    void AttachCompletion();

    TLastFolder m_lastFolder;
    QString m_startFolder;
    QStringList m_chosen;
    TPreviewLoader* m_loader = nullptr;
    QString m_previewFile;
    QImage m_preview;
    QPointer<QCompleter> m_completion;
    QLabel* m_previewPicture = nullptr;
    QLabel* m_previewSize = nullptr;
};
