#include "UniFuncs.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The path as the file system spells it; empty when it cannot name a file
// (a NUL character would silently cut the name short).
QByteArray NativePath(const QString& FileName)
{
    if (FileName.contains(QChar(0)))
        return QByteArray();
    return QFile::encodeName(FileName);
}

// Opens with the given flags and keeps the handle only for a regular file:
// a folder, a FIFO or a device is refused before it is opened, and one put
// in the file's place meanwhile right after (O_NONBLOCK keeps a FIFO from
// blocking the open). On failure errno says why: the open's own error, or
// EINVAL for a path that names no regular file.
int OpenRegular(const QString& FileName, int flags)
{
    const QByteArray path = NativePath(FileName);
    struct stat before;
    if (path.isEmpty() || (::stat(path.constData(), &before) == 0 && !S_ISREG(before.st_mode))) {
        errno = EINVAL;
        return -1;
    }
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// Access index (mode and 3) to open flags; -1 for the invalid index 3.
int AccessFlags(uint16_t Mode)
{
    switch (Mode & 3) {
    case 0:
        return O_RDONLY;
    case 1:
        return O_WRONLY;
    case 2:
        return O_RDWR;
    default:
        return -1;
    }
}

} // namespace

QString ShownPath(const QString& Path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(Path));
}

std::string FileMessage(const char* Format, const QString& FileName)
{
    return QString::fromLatin1(Format).arg(ShownPath(FileName)).toStdString();
}

// Sharing (bits 4 to 7) is checked for validity only: Linux files have no
// share modes, and several readers of this process (the thumbnail worker and
// the user-interface thread) must be able to open the same frame file.
TFileStreamW::TFileStreamW(const QString& FileName, uint16_t Mode) : m_fileName(FileName)
{
    if (Mode == fmCreate) {
        m_handle = OpenRegular(FileName, O_RDWR | O_CREAT | O_TRUNC);
        if (m_handle < 0)
            throw EFCreateError(FileMessage("Cannot create file %1", FileName));
        return;
    }
    const int access = AccessFlags(Mode);
    const int share = (Mode & 0xF0) >> 4;
    if (access >= 0 && share <= 4)
        m_handle = OpenRegular(FileName, access);
    if (m_handle < 0)
        throw EFOpenError(FileMessage("Cannot open file %1", FileName));
}

TFileStreamW::~TFileStreamW()
{
    if (m_handle >= 0)
        ::close(m_handle);
}

int64_t TFileStreamW::Read(void* Buffer, int64_t Count)
{
    int64_t done = 0;
    auto* p = static_cast<char*>(Buffer);
    while (done < Count) {
        const ssize_t n = ::read(m_handle, p + done, size_t(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

void TFileStreamW::ReadBuffer(void* Buffer, int64_t Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

int64_t TFileStreamW::Write(const void* Buffer, int64_t Count)
{
    int64_t done = 0;
    const auto* p = static_cast<const char*>(Buffer);
    while (done < Count) {
        const ssize_t n = ::write(m_handle, p + done, size_t(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

void TFileStreamW::WriteBuffer(const void* Buffer, int64_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

int64_t TFileStreamW::Seek(int64_t Offset, TSeekOrigin Origin)
{
    int whence = SEEK_SET;
    if (Origin == TSeekOrigin::soCurrent)
        whence = SEEK_CUR;
    else if (Origin == TSeekOrigin::soEnd)
        whence = SEEK_END;
    return ::lseek(m_handle, off_t(Offset), whence);
}

int64_t TFileStreamW::Position() const
{
    return ::lseek(m_handle, 0, SEEK_CUR);
}

int64_t TFileStreamW::Size() const
{
    struct stat st;
    if (::fstat(m_handle, &st) != 0)
        return -1;
    return st.st_size;
}

namespace {

// The entry's status when it is a regular file (links followed).
bool StatRegular(const QString& FileName, struct stat& st)
{
    const QByteArray path = NativePath(FileName);
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0)
        return false;
    return S_ISREG(st.st_mode);
}

} // namespace

QString NotAFileKind(const QString& FileName)
{
    const QByteArray path = NativePath(FileName);
    struct stat st;
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0 || S_ISREG(st.st_mode))
        return QString();
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("a socket");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("a folder");
    return QStringLiteral("a special file");
}

void CheckRegularFile(const QString& FileName)
{
    const QString kind = NotAFileKind(FileName);
    if (!kind.isEmpty())
        throw ENotAFile(QStringLiteral("Cannot read %1: it is %2, not a file")
                            .arg(ShownPath(FileName), kind)
                            .toStdString());
}

bool OpenRegularFile(QFile& File, const QString& FileName, int* Error)
{
    const int fd = OpenRegular(FileName, O_RDONLY);
    if (Error)
        *Error = fd < 0 ? errno : 0;
    if (fd < 0)
        return false;
    if (!File.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (Error)
            *Error = EIO;
        return false;
    }
    return true;
}

int32_t WideFileAge(const QString& FileName)
{
    struct stat st;
    if (!StatRegular(FileName, st))
        return -1;
    struct tm local;
    const time_t when = st.st_mtim.tv_sec;
    if (::localtime_r(&when, &local) == nullptr)
        return -1;
    const int64_t year = int64_t(local.tm_year) + 1900;
    if (year < 1980 || year > 2107)
        return -1;
    const uint32_t date =
        uint32_t(year - 1980) << 9 | uint32_t(local.tm_mon + 1) << 5 | uint32_t(local.tm_mday);
    const uint32_t time =
        uint32_t(local.tm_hour) << 11 | uint32_t(local.tm_min) << 5 | uint32_t(local.tm_sec / 2);
    return static_cast<int32_t>(date << 16 | time);
}

bool WideFileExists(const QString& FileName)
{
    struct stat st;
    return StatRegular(FileName, st);
}

int WideLastDelimiter(const QString& Delimiters, const QString& S)
{
    for (qsizetype i = S.size(); i >= 1; --i) {
        const QChar c = S.at(i - 1);
        if (c != QChar(0) && Delimiters.contains(c))
            return int(i);
    }
    return 0;
}

QString WideExtractFileName(const QString& Path)
{
    return Path.mid(WideLastDelimiter(QStringLiteral("/"), Path));
}

QString WideExtractFileExt(const QString& Path)
{
    const int i = WideLastDelimiter(QStringLiteral("./"), Path);
    if (i > 0 && Path.at(i - 1) == QLatin1Char('.'))
        return Path.mid(i - 1);
    return QString();
}
