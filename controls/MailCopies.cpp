#include "MailCopies.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
const QString kFolderPrefix = QStringLiteral("orvo-mail-");

// Whether anything in Folder, or Folder itself, was modified at or after Limit.
bool ChangedSince(const QString& Folder, const QDateTime& Limit)
{
    if (QFileInfo(Folder).lastModified() >= Limit)
        return true;
    QDirIterator it(Folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().lastModified() >= Limit)
            return true;
    }
    return false;
}
} // namespace

TMailCopies::TMailCopies(QString Root) : m_root(std::move(Root))
{
    if (m_root.isEmpty())
        m_root = DefaultRoot();
}

QString TMailCopies::DefaultRoot()
{
    QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath();
    return QDir(cache).filePath(QStringLiteral("mail"));
}

std::unique_ptr<QTemporaryDir> TMailCopies::NewFolder() const
{
    if (!QDir().mkpath(m_root))
        return nullptr;
    auto folder = std::make_unique<QTemporaryDir>(QDir(m_root).filePath(kFolderPrefix + "XXXXXX"));
    if (!folder->isValid())
        return nullptr;
    return folder;
}

int TMailCopies::Copy(const TMapiMessage& Message, const QString& Folder, QStringList& Paths)
{
    for (size_t i = 0; i < Message.Files.size(); ++i) {
        const TMapiFileDesc& file = Message.Files[i];
        if (!QFileInfo(file.lpszPathName).isFile())
            return MAPI_E_ATTACHMENT_NOT_FOUND;
        const QString subFolder = Folder + QLatin1Char('/') + QString::number(i + 1);
        QString name = file.lpszFileName;
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
            name == QLatin1String(".."))
            name = QFileInfo(file.lpszPathName).fileName();
        const QString target = subFolder + QLatin1Char('/') + name;
        if (!QDir().mkpath(subFolder) || !QFile::copy(file.lpszPathName, target))
            return MAPI_E_ATTACHMENT_OPEN_FAILURE;
        Paths.append(target);
    }
    return SUCCESS_SUCCESS;
}

void TMailCopies::RemoveUnchangedSince(const QDateTime& Limit) const
{
    const QFileInfoList folders = QDir(m_root).entryInfoList(
        {kFolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        if (folder.isSymLink() || ChangedSince(folder.filePath(), Limit))
            continue;
        QDir(folder.filePath()).removeRecursively();
    }
}
