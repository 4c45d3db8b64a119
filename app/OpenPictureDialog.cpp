#include "OpenPictureDialog.h"

#include "FileDialogCompletion.h"
#include "FileDialogSize.h"
#include "PreviewLoader.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

// The box the preview picture is fitted into.
constexpr int kPreviewSide = 240;
constexpr int kPreviewMargin = 8;

// The size a picture of Pixels is shown at: no larger than the preview box,
// keeping its proportions.
QSize PreviewSize(const QSize& Pixels)
{
    const QSize box(kPreviewSide, kPreviewSide);
    if (Pixels.width() <= box.width() && Pixels.height() <= box.height())
        return Pixels;
    return Pixels.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

TOpenPictureDialog::TOpenPictureDialog(QWidget* parent, const QStringList& Filters, FileMode Mode,
                                       TLastFolder LastFolder)
    : QFileDialog(parent, QStringLiteral("Open")), m_lastFolder(std::move(LastFolder)),
      m_loader(new TPreviewLoader(this))
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(Mode);
    setNameFilters(Filters);

    auto* preview = new QWidget;
    preview->setFixedWidth(kPreviewSide + 2 * kPreviewMargin);
    m_previewPicture = new QLabel;
    m_previewPicture->setAlignment(Qt::AlignCenter);
    m_previewSize = new QLabel;
    m_previewSize->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto* column = new QVBoxLayout(preview);
    column->setContentsMargins(kPreviewMargin, 0, kPreviewMargin, 0);
    column->addWidget(m_previewPicture);
    column->addWidget(m_previewSize);
    column->addStretch();
    SizeFileDialog(*this);
    if (auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"))) {
        splitter->addWidget(preview);
        splitter->setCollapsible(splitter->indexOf(preview), false);
        splitter->setSizes({kFileDialogPlacesWidth, kFileDialogWidth, preview->width()});
    }
    connect(m_loader, &TPreviewLoader::Ready, this,
            [this](const TPreview& Preview) { PreviewReady(Preview); });

    // The list and the detailed list share one selection; a name typed into
    // the name box selects its file too.
    if (auto* list = findChild<QListView*>(QStringLiteral("listView"));
        list && list->selectionModel())
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this] { ShowPreview(selectedFiles().value(0)); });
    SettleFolderChange(*this);
}

TOpenPictureDialog::~TOpenPictureDialog() = default;

QStringList TOpenPictureDialog::NameFilters(const QString& Filter)
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i].trimmed();
        // A text that shows patterns of its own ("All (*.jpg;*.jpeg)") keeps
        // only its words: the entry's patterns follow once.
        if (text.endsWith(QLatin1Char(')'))) {
            const qsizetype open = text.lastIndexOf(QLatin1Char('('));
            if (open > 0)
                text = text.left(open).trimmed();
        }
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << text + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QString TOpenPictureDialog::StartFolder(const QString& Fixed, const QString& LastUsed)
{
    if (!Fixed.isEmpty())
        return Fixed;
    if (!LastUsed.isEmpty() && QFileInfo(LastUsed).isDir())
        return LastUsed;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

QString TOpenPictureDialog::StartFolder() const
{
    return StartFolder(m_startFolder, m_lastFolder.Get());
}

QStringList TOpenPictureDialog::Choose()
{
    if (exec() != QDialog::Accepted)
        return {};
    return selectedFiles();
}

QString TOpenPictureDialog::ChooseFile()
{
    const QStringList files = Choose();
    return files.isEmpty() ? QString() : files.first();
}

QString TOpenPictureDialog::PreviewText() const
{
    return m_previewSize->text();
}

int TOpenPictureDialog::exec()
{
    selectNameFilter(nameFilters().value(0));
    setDirectory(StartFolder());
    ChooseLastAgain();
    ShowPreview(selectedFiles().value(0));
    AttachCompletion();
    const int result = QFileDialog::exec();
    // The place the dialog covered is painted again before the caller starts
    // on the chosen file, which may take a while for a large picture.
    const QRect covered = geometry();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (QWidget* owner = parentWidget()) {
        QWidget* window = owner->window();
        window->repaint(QRect(window->mapFromGlobal(covered.topLeft()), covered.size()));
    }
    return result;
}

void TOpenPictureDialog::done(int result)
{
    DetachCompletion();
    ShowPreview(QString());
    QFileDialog::done(result);
    if (result == QDialog::Accepted) {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            m_chosen = files;
            m_lastFolder.Set(QFileInfo(files.first()).absolutePath());
        }
    }
}

void TOpenPictureDialog::ShowPreview(const QString& File)
{
    if (File == m_previewFile)
        return;
    m_previewFile = File;
    m_preview = QImage();
    m_previewPicture->clear();
    m_previewSize->clear();
    if (File.isEmpty())
        m_loader->Cancel();
    else
        m_loader->Request(TPreviewLoader::Picture(File, PreviewSize));
}

void TOpenPictureDialog::PreviewReady(const TPreview& Preview)
{
    if (Preview.File != m_previewFile || Preview.Picture.isNull())
        return;
    m_preview = Preview.Picture;
    m_previewPicture->setPixmap(QPixmap::fromImage(m_preview));
    m_previewSize->setText(
        QStringLiteral("%1 x %2").arg(Preview.PixelSize.width()).arg(Preview.PixelSize.height()));
}

void TOpenPictureDialog::ChooseLastAgain()
{
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* list = findChild<QListView*>(QStringLiteral("listView"));
    if (!edit || !list || !list->selectionModel())
        return;
    const QString folder = directory().absolutePath();
    QStringList names;
    for (const QString& file : std::as_const(m_chosen)) {
        const QFileInfo info(file);
        if (info.absolutePath() == folder && info.isFile())
            names << info.fileName();
    }
    // Emptied quietly first: the file dialog takes an empty name box for its
    // folder. The name set anew then selects its file and enables "Open"
    // even when the box held it already.
    {
        const QSignalBlocker quiet(edit);
        edit->clear();
    }
    list->selectionModel()->clearSelection();
    if (names.size() == 1)
        edit->setText(names.first());
    else if (!names.isEmpty())
        edit->setText(QLatin1Char('"') + names.join(QStringLiteral("\" \"")) + QLatin1Char('"'));
    else
        setFileMode(fileMode()); // "Open" follows the emptied box
}

void TOpenPictureDialog::DetachCompletion()
{
    // The completion list is a window of its own: Enter typed into the name
    // box while it is open closes the dialog but not the list, which would
    // then stay on the screen and take the next click. The name box also has
    // no completion while the dialog is closed, so that a folder listing that
    // ends later cannot open the list again.
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit || !edit->completer())
        return;
    m_completion = edit->completer();
    edit->setCompleter(nullptr);
    if (QAbstractItemView* popup = m_completion->popup())
        popup->hide();
}

void TOpenPictureDialog::AttachCompletion()
{
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit && m_completion)
        edit->setCompleter(m_completion);
}
