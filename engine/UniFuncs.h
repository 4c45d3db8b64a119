#pragma once

// File access by full (UTF-16) path: the file stream and the path functions.
// Paths are Linux paths; "/" is the only delimiter (a colon is an ordinary
// file-name character).

#include <QString>

#include <cstdint>
#include <stdexcept>

class QFile;

// Stream errors carry the message the user sees.
class EStreamError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
// "Cannot open file %s"
class EFOpenError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};
// "Cannot create file %s"
class EFCreateError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};
// "Cannot read %s: it is a named pipe, not a file"
class ENotAFile : public EFOpenError
{
public:
    using EFOpenError::EFOpenError;
};
// "Stream read error"
class EReadError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};
// "Stream write error"
class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

// Open modes: access in bits 0-1, sharing in bits 4-7; fmCreate creates.
constexpr uint16_t fmCreate = 0xFFFF;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A stream over an operating-system file handle, opened or created by path.
class TFileStreamW
{
public:
    // Raises EFCreateError (create) or EFOpenError (open) on failure.
    TFileStreamW(const QString& FileName, uint16_t Mode);
    ~TFileStreamW();
    TFileStreamW(const TFileStreamW&) = delete;
    TFileStreamW& operator=(const TFileStreamW&) = delete;

    // Reads up to Count bytes; returns how many were read.
    int64_t Read(void* Buffer, int64_t Count);
    // Reads exactly Count bytes or raises EReadError "Stream read error".
    void ReadBuffer(void* Buffer, int64_t Count);
    int64_t Write(const void* Buffer, int64_t Count);
    // Writes exactly Count bytes or raises EWriteError "Stream write error".
    void WriteBuffer(const void* Buffer, int64_t Count);
    int64_t Seek(int64_t Offset, TSeekOrigin Origin);
    int64_t Position() const;
    int64_t Size() const;
    int Handle() const { return m_handle; }
    const QString& FileName() const { return m_fileName; }

private:
    int m_handle = -1;
    QString m_fileName;
};

// A path as a person reads it in a message: without the doubled delimiter
// of a folder joined to a relative part that starts with one, and without
// "." parts. The program goes on using the path as it was built.
QString ShownPath(const QString& Path);
// Format with %1 replaced by the shown path: the text of a file error.
std::string FileMessage(const char* Format, const QString& FileName);

// Reading a path that names something other than a regular file (or a link
// to one) is refused before it is opened: opening a named pipe waits for a
// writer, and opening a device may do something of its own.
//
// What FileName names when it is there but is no regular file: "a named
// pipe", "a device", "a socket", "a folder" or "a special file"; empty for a
// regular file and for a path that names nothing.
QString NotAFileKind(const QString& FileName);
// Raises ENotAFile "Cannot read X: it is a named pipe, not a file" when
// NotAFileKind is not empty.
void CheckRegularFile(const QString& FileName);
// Opens FileName for reading into File (which must not be open). False when
// it is refused as above or cannot be opened; Error, when given, then gets
// the system's error number (ENOENT, EACCES and the like; EINVAL for a path
// that names no regular file), else 0.
bool OpenRegularFile(QFile& File, const QString& FileName, int* Error = nullptr);

// The file's local last-write time as a DOS date (high 16 bits) and DOS time
// (low 16 bits); -1 for a missing file or a folder. A regular file whose date
// a DOS date cannot hold (before 1980) also gives -1.
int32_t WideFileAge(const QString& FileName);
// True for an existing regular file, whatever its date.
bool WideFileExists(const QString& FileName);
// The 1-based position of the last character of S that is one of
// Delimiters; 0 when there is none.
int WideLastDelimiter(const QString& Delimiters, const QString& S);
// The part after the last "/" (the whole path when there is none).
QString WideExtractFileName(const QString& Path);
// The extension with its dot, or an empty string.
QString WideExtractFileExt(const QString& Path);
