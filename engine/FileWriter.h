#pragma once

// Writing a whole file so that a failed or interrupted write leaves the file
// that was there whole. The content is made in memory first, so a failed
// encoding never touches the file. Then a new file beside the target, written
// and flushed to disk, replaces it by rename: the way desktop programs save.
// The new file takes the old one's permissions, and its owner and group where
// the system lets us give them; other hard links to the old file keep the old
// content.
// Only where the folder takes no new file in the target's place (a read-only
// folder holding a writable file, a sticky folder holding another user's
// file, a file mounted on its own) is the file written in place, and then
// - a whole copy of its content is first kept in the user's cache folder
//   (TKeptCopy), flushed to disk, until the new content is;
// - room for the new content is made certain before the first old byte is
//   overwritten, also where the file system has no fallocate;
// - a write that fails half-way puts the old content back from the copy.
// A kill at any moment thus leaves either the file as it was or its copy.
// A write past the file size limit fails like any other: the writer keeps
// SIGXFSZ from ending the process.

#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/types.h>

class QIODevice;

class TFileWriter
{
public:
    virtual ~TFileWriter() = default;

    // Makes the content through Write (which returns false to give up) and
    // puts it into FileName, through a symbolic link to what it points at.
    // False when nothing or not all could be written; the old file is then
    // as it was, unless Detail says where its content is kept.
    bool Write(const QString& fileName, const std::function<bool(QIODevice&)>& write);

    // After a failed Write, a sentence for the user when the file's name
    // alone does not say enough (where its old content is kept); else empty.
    const QString& Detail() const { return m_detail; }

protected:
    enum class TReplaceResult
    {
        Replaced,
        NoTemporaryFile,
        Failed
    };
    // Writes a temporary file beside Target and renames it over Target,
    // keeping Target's permissions, owner and group as far as allowed.
    // NoTemporaryFile when the folder takes no new file in Target's place.
    virtual TReplaceResult ReplaceByRename(const QString& target, const QByteArray& content);
    // Every write to a file written in place goes through here (pwrite).
    virtual ssize_t WriteAt(int fd, const char* data, size_t size, off_t offset);

private:
    bool OverwriteInPlace(const QString& target, const QByteArray& content);
    // Overwrites the open file Fd of OldSize bytes, named Name, with a copy
    // of its old content kept meanwhile.
    bool Overwrite(int fd, off_t oldSize, const QByteArray& content, const QString& name);
    // Makes certain that the file system has the blocks for NewSize bytes
    // from the start, so that the overwrite cannot run out of room half-way.
    // False, with the content as it was, when it has not.
    bool ReserveRoom(int fd, off_t oldSize, off_t newSize);
    // Gives the holes before End their blocks; the content stays as it is.
    bool FillHoles(int fd, off_t end);
    bool WriteZeros(int fd, off_t from, off_t to);
    // Writes all Size bytes of Data at Offset through WriteAt.
    bool WriteAll(int fd, const char* data, qint64 size, off_t offset);
    std::function<ssize_t(const char*, size_t, off_t)> WriterOf(int fd);
    static bool CreateNew(const QString& target, const QByteArray& content);

    QString m_detail;
};
