#include "FileWriter.h"

#include "KeptCopy.h"
#include "UniFuncs.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TWriteAt = TKeptCopy::TWriteAt;

// A write past the file size limit raises SIGXFSZ, whose default action ends
// the process. Ignored, the write fails with EFBIG instead, and whoever asked
// for it reports a failed write. Done once, before the first write; a handler
// of the program's own is left as it is.
void KeepTheFileSizeSignalFromEndingTheProcess()
{
    static const bool done = [] {
        struct sigaction current
        {
        };
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
            current.sa_handler == SIG_DFL) {
            struct sigaction ignore
            {
            };
            ignore.sa_handler = SIG_IGN;
            sigemptyset(&ignore.sa_mask);
            ::sigaction(SIGXFSZ, &ignore, nullptr);
        }
        return true;
    }();
    (void)done;
}

// Writes all Size bytes of Data at Offset through WriteAt; false on any error.
bool WriteWhole(const TWriteAt& writeAt, const char* data, qint64 size, off_t offset)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = writeAt(data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool WriteWhole(int fd, const QByteArray& content)
{
    const auto writeAt = [fd](const char* data, size_t size, off_t offset) {
        return ::pwrite(fd, data, size, offset);
    };
    return WriteWhole(writeAt, content.constData(), content.size(), 0);
}

int OpenExisting(const QByteArray& path, int flags)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Whether an error of creating or renaming a file says that the folder takes
// no new file in the target's place (a read-only folder, a sticky folder
// holding another user's file, a file mounted on its own), rather than that
// writing one failed.
bool RefusedByTheFolder(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY;
}

// Creates an empty file beside Target, named after it, and gives its path;
// -1 with errno when it cannot be made.
int CreateBeside(const QString& target, QByteArray& path)
{
    const QFileInfo info(target);
    // A part of the name only, so that the new name fits where the old did.
    const QString stem =
        QStringLiteral("%1/.%2.").arg(info.absolutePath(), info.fileName().left(40));
    for (int attempt = 0; attempt < 100; ++attempt) {
        path =
            QFile::encodeName(stem + QString::number(QRandomGenerator::global()->generate(), 36));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || (errno != EEXIST && errno != EINTR))
            return fd;
    }
    return -1;
}

// Gives a new file the owner and group of the one it replaces where the
// system lets us (root; a group of ours), then its permissions, which a
// change of owner may have cut.
void TakeOwnerAndPermissions(int fd, const struct stat& old)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, uid_t(-1), old.st_gid);
    (void)::fchmod(fd, old.st_mode & 07777);
}

// Whether a file of Size bytes stays within the file size limit.
bool WithinFileSizeLimit(qint64 size)
{
    rlimit limit{};
    return ::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
           rlim_t(size) <= limit.rlim_cur;
}

} // namespace

bool TFileWriter::Write(const QString& fileName, const std::function<bool(QIODevice&)>& write)
{
    m_detail.clear();
    KeepTheFileSizeSignalFromEndingTheProcess();

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

    const QByteArray path = QFile::encodeName(target);
    struct stat st
    {
    };
    const bool exists = ::stat(path.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return false;
    // A file we may not write is not replaced either.
    if (exists && ::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0)
        return false;
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
    const QByteArray path = QFile::encodeName(target);
    struct stat old
    {
    };
    const bool exists = ::stat(path.constData(), &old) == 0;
    QByteArray temporary;
    const int fd = CreateBeside(target, temporary);
    if (fd < 0)
        return RefusedByTheFolder(errno) ? TReplaceResult::NoTemporaryFile : TReplaceResult::Failed;
    if (exists)
        TakeOwnerAndPermissions(fd, old);
    // On disk before it replaces anything.
    bool ok = WriteWhole(fd, content) && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temporary.constData(), path.constData()) == 0)
        return TReplaceResult::Replaced;
    const int error = errno;
    ::unlink(temporary.constData());
    return ok && RefusedByTheFolder(error) ? TReplaceResult::NoTemporaryFile
                                           : TReplaceResult::Failed;
}

ssize_t TFileWriter::WriteAt(int fd, const char* data, size_t size, off_t offset)
{
    return ::pwrite(fd, data, size, offset);
}

bool TFileWriter::OverwriteInPlace(const QString& target, const QByteArray& content)
{
    const int fd = OpenExisting(QFile::encodeName(target), O_RDWR);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && WithinFileSizeLimit(content.size());
    if (ok)
        ok = Overwrite(fd, st.st_size, content, QFileInfo(target).fileName());
    ok = ::close(fd) == 0 && ok;
    return ok;
}

bool TFileWriter::Overwrite(int fd, off_t oldSize, const QByteArray& content, const QString& name)
{
    const off_t newSize = off_t(content.size());
    TKeptCopy kept(fd, oldSize, name);
    if (!kept.IsMade()) {
        m_detail = QStringLiteral("No copy of it could be kept in %1, so it was left as it was.")
                       .arg(ShownPath(TKeptCopy::Folder()));
        return false;
    }
    if (!ReserveRoom(fd, oldSize, newSize))
        return false;
    if (WriteAll(fd, content.constData(), content.size(), 0) && ::ftruncate(fd, newSize) == 0 &&
        ::fdatasync(fd) == 0)
        return true;
    // Half a new content is no content: the old one goes back.
    if (kept.CopyBack(WriterOf(fd)) && ::ftruncate(fd, oldSize) == 0 && ::fdatasync(fd) == 0)
        return false;
    kept.Keep();
    m_detail = QStringLiteral("Its old content is kept in %1.").arg(ShownPath(kept.Path()));
    return false;
}

bool TFileWriter::ReserveRoom(int fd, off_t oldSize, off_t newSize)
{
    if (newSize == 0)
        return true;
    // Blocks for the new content, the old end kept where it is.
    int reserved;
    do {
        reserved = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, newSize);
    } while (reserved != 0 && errno == EINTR);
    if (reserved == 0)
        return true;
    // Without fallocate the blocks are written: zeros into the holes (which
    // read as zeros anyway) and past the old end. Only the flush makes them
    // certain: a file system that allocates late, or over a network, reports
    // a full disk or a quota there.
    if ((errno == EOPNOTSUPP || errno == ENOSYS) && FillHoles(fd, std::min(oldSize, newSize)) &&
        WriteZeros(fd, oldSize, newSize) && ::fdatasync(fd) == 0)
        return true;
    // Whatever was added lies beyond the old end.
    (void)::ftruncate(fd, oldSize);
    return false;
}

bool TFileWriter::FillHoles(int fd, off_t end)
{
    for (off_t at = 0; at < end;) {
        const off_t hole = ::lseek(fd, at, SEEK_HOLE);
        if (hole < 0 || hole >= end)
            return true;
        off_t data = ::lseek(fd, hole, SEEK_DATA);
        if (data < 0 || data > end)
            data = end;
        if (!WriteZeros(fd, hole, data))
            return false;
        at = data;
    }
    return true;
}

bool TFileWriter::WriteZeros(int fd, off_t from, off_t to)
{
    static const QByteArray zeros(64 * 1024, '\0');
    for (off_t at = from; at < to; at += zeros.size())
        if (!WriteAll(fd, zeros.constData(), std::min(to - at, off_t(zeros.size())), at))
            return false;
    return true;
}

bool TFileWriter::WriteAll(int fd, const char* data, qint64 size, off_t offset)
{
    return WriteWhole(WriterOf(fd), data, size, offset);
}

TKeptCopy::TWriteAt TFileWriter::WriterOf(int fd)
{
    return [this, fd](const char* data, size_t size, off_t offset) {
        return WriteAt(fd, data, size, offset);
    };
}

bool TFileWriter::CreateNew(const QString& target, const QByteArray& content)
{
    const QByteArray path = QFile::encodeName(target);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = WriteWhole(fd, content) && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    // Half a file is no file.
    if (!ok)
        ::unlink(path.constData());
    return ok;
}
