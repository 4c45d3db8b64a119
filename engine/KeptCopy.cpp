#include "KeptCopy.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr off_t kBlock = 1 << 20;

// The mark of a copy that is not whole yet.
constexpr QLatin1StringView kPartial(".partial");

// The name of the copy of the file Name while it is made: Name, cut where
// it would not fit with the mark, and the mark.
QString PartialName(const QString& Name)
{
    QString stem = Name;
    while (!stem.isEmpty() && QFile::encodeName(stem + kPartial).size() > NAME_MAX)
        stem.chop(1);
    return stem + kPartial;
}

// Copies the first Size bytes of From through Write; false when fewer could
// be read or written.
bool CopyBytes(int From, off_t Size, const TKeptCopy::TWriteAt& Write)
{
    std::vector<char> buffer(size_t(std::min(Size, kBlock)));
    off_t done = 0;
    while (done < Size) {
        const ssize_t n = ::pread(From, buffer.data(), size_t(std::min(Size - done, kBlock)), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = Write(buffer.data() + written, size_t(n - written), done + written);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            written += w;
        }
        done += n;
    }
    return true;
}

// Flushes a folder's entries to disk.
bool SyncFolder(const QString& Folder)
{
    const int fd =
        ::open(QFile::encodeName(Folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

TKeptCopy::TKeptCopy(int Fd, off_t Size, const QString& Name) : m_size(Size)
{
    m_made = Make(Fd, Size, Name);
}

TKeptCopy::~TKeptCopy()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_keep)
        return;
    if (m_fd >= 0)
        ::unlink(QFile::encodeName(m_path).constData());
    if (!m_folder.isEmpty())
        ::rmdir(QFile::encodeName(m_folder).constData());
}

bool TKeptCopy::Make(int Fd, off_t Size, const QString& Name)
{
    const QString root = Folder();
    if (!QDir().mkpath(root))
        return false;
    QByteArray folder = QFile::encodeName(root + QStringLiteral("/XXXXXX"));
    if (::mkdtemp(folder.data()) == nullptr)
        return false;
    m_folder = QFile::decodeName(folder);
    // Named as partial until it is whole on disk: a copy cut short by a kill
    // never passes for the file.
    m_path = m_folder + QLatin1Char('/') + PartialName(Name);
    m_fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return false;
    const int copy = m_fd;
    const auto write = [copy](const char* data, size_t size, off_t offset) {
        return ::pwrite(copy, data, size, offset);
    };
    if (!CopyBytes(Fd, Size, write) || ::fdatasync(m_fd) != 0)
        return false;
    const QString whole = m_folder + QLatin1Char('/') + Name;
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(whole).constData()) != 0)
        return false;
    m_path = whole;
    return SyncFolder(m_folder) && SyncFolder(root);
}

bool TKeptCopy::CopyBack(const TWriteAt& WriteAt) const
{
    return m_made && CopyBytes(m_fd, m_size, WriteAt);
}

QString TKeptCopy::Folder()
{
    QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        cache = QDir::tempPath();
    return QDir(cache).filePath(QStringLiteral("kept-while-saving"));
}
