#include "FileWriter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes all of Content from the start of the file; false on any error.
bool WriteAll(int fd, const QByteArray& content)
{
    qint64 done = 0;
    while (done < content.size()) {
        const ssize_t n =
            ::pwrite(fd, content.constData() + done, size_t(content.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

int OpenExisting(const QByteArray& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// True when replacing the file by a new one beside it would change more than
// its content: other names link to it, or the new file would get another
// owner or group (the folder's group in a set-group-ID folder, else ours).
bool RenameWouldChangeTheFile(const struct stat& file, const QString& target)
{
    if (file.st_nlink > 1 || file.st_uid != ::geteuid())
        return true;
    struct stat folder
    {
    };
    const QByteArray folderPath = QFile::encodeName(QFileInfo(target).absolutePath());
    if (::stat(folderPath.constData(), &folder) != 0)
        return false;
    const gid_t newGroup = (folder.st_mode & S_ISGID) ? folder.st_gid : ::getegid();
    return file.st_gid != newGroup;
}

} // namespace

bool TFileWriter::Write(const QString& fileName, const std::function<bool(QIODevice&)>& write)
{
    // Write to what a symbolic link points at, so the link stays a link.
    QString target = fileName;
    const QFileInfo info(fileName);
    if (info.isSymLink()) {
        const QString linked = info.symLinkTarget();
        if (!linked.isEmpty())
            target = linked;
    }
    if (target.contains(QChar(0)))
        return false;

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return false;
    const QByteArray& content = buffer.data();

    struct stat st
    {
    };
    const bool exists = ::stat(QFile::encodeName(target).constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return false;
    if (exists && RenameWouldChangeTheFile(st, target))
        return OverwriteInPlace(target, content);
    switch (ReplaceByRename(target, content)) {
    case TReplaceResult::Replaced:
        return true;
    case TReplaceResult::NoTemporaryFile:
        return exists ? OverwriteInPlace(target, content) : CreateNew(target, content);
    case TReplaceResult::Failed:
        break;
    }
    return false;
}

TFileWriter::TReplaceResult TFileWriter::ReplaceByRename(const QString& target,
                                                         const QByteArray& content)
{
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return TReplaceResult::NoTemporaryFile;
    // One unbuffered write whose count is checked: a buffered write that the
    // disk cuts short (a full disk, the file size limit) is lost in commit
    // without an error, and the truncated file would replace the old one.
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return TReplaceResult::Failed;
    }
    return file.commit() ? TReplaceResult::Replaced : TReplaceResult::Failed;
}

bool TFileWriter::OverwriteInPlace(const QString& target, const QByteArray& content)
{
    const int fd = OpenExisting(QFile::encodeName(target), O_WRONLY);
    if (fd < 0)
        return false;
    bool ok = false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const off_t oldSize = st.st_size;
        const off_t newSize = off_t(content.size());
        // Room for the new content first: a full disk or the file size
        // limit refuses here, before the old content is touched. A file
        // system that cannot reserve is written without.
        bool room = true;
        if (newSize > oldSize) {
            int reserved;
            do {
                reserved = ::fallocate(fd, 0, 0, newSize);
            } while (reserved != 0 && errno == EINTR);
            if (reserved != 0 && errno != EOPNOTSUPP) {
                room = false;
                // Whatever the refused reservation added lies beyond the
                // old end.
                (void)::ftruncate(fd, oldSize);
            }
        }
        ok = room && WriteAll(fd, content) && ::ftruncate(fd, newSize) == 0 && ::fdatasync(fd) == 0;
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

bool TFileWriter::CreateNew(const QString& target, const QByteArray& content)
{
    const QByteArray path = QFile::encodeName(target);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, content) && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    // Half a file is no file.
    if (!ok)
        ::unlink(path.constData());
    return ok;
}
