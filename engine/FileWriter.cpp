#include "FileWriter.h"

#include "KeptCopy.h"
#include "UniFuncs.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// The system follows at most this many symbolic links in a row.
constexpr int kMostLinks = 40;

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray NameOf(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// The file that opening Path reaches, found as the system finds it: every
// link on the way to its folder resolved, then the links of the final name
// one after the other, each read in the folder where it lies. A link to no
// file leads to the name it holds, which a save makes. Empty when a folder
// on the way is missing, the links go round, or one cannot be read.
QByteArray FileReachedBy(QByteArray path)
{
    for (int links = 0; links <= kMostLinks; ++links) {
        const QByteArray name = NameOf(path);
        char* const real =
            name.isEmpty() ? nullptr : ::realpath(FolderOf(path).constData(), nullptr);
        if (real == nullptr)
            return {};
        QByteArray folder(real);
        std::free(real);
        if (!folder.endsWith('/'))
            folder += '/';
        const QByteArray file = folder + name;
        struct stat st
        {
        };
        if (::lstat(file.constData(), &st) != 0)
            return errno == ENOENT ? file : QByteArray();
        if (!S_ISLNK(st.st_mode))
            return file;
        char linked[PATH_MAX];
        const ssize_t size = ::readlink(file.constData(), linked, sizeof linked);
        if (size <= 0 || size_t(size) >= sizeof linked)
            return {};
        path = QByteArray(linked, size);
        if (!path.startsWith('/'))
            path.prepend(folder);
    }
    return {};
}

// What a call that fills a buffer of the size it reports gives; the size is
// asked again when it grew in between.
std::optional<QByteArray> ReadSized(const std::function<ssize_t(char*, size_t)>& read)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = read(nullptr, 0);
        if (size <= 0)
            return size == 0 ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        QByteArray bytes(size, Qt::Uninitialized);
        const ssize_t n = read(bytes.data(), size_t(size));
        if (n >= 0)
            return bytes.left(n);
        if (errno != ERANGE)
            return std::nullopt;
    }
    return std::nullopt;
}

using TAttributes = std::map<QByteArray, QByteArray>;

// Every extended attribute of a file by name, access lists included: of the
// open file Fd, or with Fd -1 of the file at Path. None where the file
// system keeps none; nullopt when one cannot be read.
std::optional<TAttributes> AttributesOf(int fd, const char* path = nullptr)
{
    const std::optional<QByteArray> names = ReadSized([fd, path](char* names, size_t size) {
        return fd >= 0 ? ::flistxattr(fd, names, size) : ::llistxattr(path, names, size);
    });
    if (!names)
        return errno == ENOTSUP ? std::optional<TAttributes>(TAttributes()) : std::nullopt;
    TAttributes attributes;
    for (const QByteArray& name : names->split('\0')) {
        if (name.isEmpty())
            continue;
        const std::optional<QByteArray> value = ReadSized([&](char* value, size_t size) {
            return fd >= 0 ? ::fgetxattr(fd, name.constData(), value, size)
                           : ::lgetxattr(path, name.constData(), value, size);
        });
        if (!value)
            return std::nullopt;
        attributes[name] = *value;
    }
    return attributes;
}

// Gives the new file Fd all of the file at OldPath but its content: the
// owner and group (where the system lets us), every extended attribute the
// new file does not have already (what the system gives every new file,
// such as a security label, it has), then the permissions, which a change
// of owner may have cut; with an access list the group's permissions are
// its mask. True when the new file is then the old one in all of that.
bool TakeAllButContent(int fd, const char* oldPath, const struct stat& old)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) != 0 || ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
                                   ::fchown(fd, old.st_uid, old.st_gid) != 0))
        return false;
    const std::optional<TAttributes> attributes = AttributesOf(-1, oldPath);
    const std::optional<TAttributes> given = AttributesOf(fd);
    if (!attributes || !given)
        return false;
    for (const auto& [name, value] : *attributes) {
        const auto it = given->find(name);
        if ((it == given->end() || it->second != value) &&
            ::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    const mode_t mode = old.st_mode & 07777;
    return ::fchmod(fd, mode) == 0 && ::fstat(fd, &now) == 0 && now.st_uid == old.st_uid &&
           now.st_gid == old.st_gid && (now.st_mode & 07777) == mode &&
           AttributesOf(fd) == attributes;
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

// Creates an empty file of Mode beside Target, named after it, and gives
// its path; -1 with errno when it cannot be made.
int CreateBeside(const QByteArray& target, mode_t mode, QByteArray& path)
{
    // A part of the name only, so that the new name fits where the old did.
    const QByteArray stem = FolderOf(target) + "/." + NameOf(target).left(40) + '.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = stem + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || (errno != EEXIST && errno != EINTR))
            return fd;
    }
    return -1;
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
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return false;
    return Write(fileName, buffer.data());
}

bool TFileWriter::Write(const QString& fileName, const QByteArray& content)
{
    m_detail.clear();
    KeepTheFileSizeSignalFromEndingTheProcess();

    if (fileName.isEmpty() || fileName.contains(QChar(0)))
        return false;
    const QByteArray target = FileReachedBy(QFile::encodeName(fileName));
    if (target.isEmpty())
        return false;

    struct stat st
    {
    };
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return false;
    // A file we may not write is not replaced either.
    if (exists && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return false;
    switch (ReplaceByRename(target, content)) {
    case TReplaceResult::Replaced:
        return true;
    case TReplaceResult::InPlace:
        return exists ? OverwriteInPlace(target, content) : CreateNew(target, content);
    case TReplaceResult::Failed:
        break;
    }
    return false;
}

TFileWriter::TReplaceResult TFileWriter::ReplaceByRename(const QByteArray& target,
                                                         const QByteArray& content)
{
    struct stat old
    {
    };
    const bool exists = ::stat(target.constData(), &old) == 0;
    // The file's other names would keep the old content.
    if (exists && old.st_nlink != 1)
        return TReplaceResult::InPlace;
    // The new file of an old one is ours alone until it has all of the old
    // one: nobody else can open it before, and read the new content after.
    QByteArray temporary;
    const int fd = CreateBeside(target, exists ? 0600 : 0666, temporary);
    if (fd < 0)
        return RefusedByTheFolder(errno) ? TReplaceResult::InPlace : TReplaceResult::Failed;
    if (exists && !TakeAllButContent(fd, target.constData(), old)) {
        ::close(fd);
        ::unlink(temporary.constData());
        return TReplaceResult::InPlace;
    }
    // On disk before it replaces anything, with its owner and attributes.
    bool ok = WriteWhole(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temporary.constData(), target.constData()) == 0)
        return TReplaceResult::Replaced;
    const int error = errno;
    ::unlink(temporary.constData());
    return ok && RefusedByTheFolder(error) ? TReplaceResult::InPlace : TReplaceResult::Failed;
}

ssize_t TFileWriter::WriteAt(int fd, const char* data, size_t size, off_t offset)
{
    return ::pwrite(fd, data, size, offset);
}

bool TFileWriter::OverwriteInPlace(const QByteArray& target, const QByteArray& content)
{
    const int fd = OpenExisting(target, O_RDWR);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && WithinFileSizeLimit(content.size());
    if (ok)
        ok = Overwrite(fd, st.st_size, content, QFile::decodeName(NameOf(target)));
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

bool TFileWriter::CreateNew(const QByteArray& target, const QByteArray& content)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = WriteWhole(fd, content) && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    // Half a file is no file.
    if (!ok)
        ::unlink(target.constData());
    return ok;
}
