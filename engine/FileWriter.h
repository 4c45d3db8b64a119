#pragma once

// Writing a whole file so that a failed or interrupted write leaves the file
// that was there whole, and a save changes nothing of the file but its
// content. The content is made in memory first, so a failed encoding never
// touches the file. The file written is the one its name opens: symbolic
// links are followed as the system follows them and stay links, and a link
// to no file makes the file it names.
// Where a new file can be the old one in everything but its content (the
// old file has no other name, and the new one takes its owner, group,
// permissions and every extended attribute, access lists included), the new
// file is written beside the target, flushed to disk and renamed over it:
// the way desktop programs save. Everywhere else (a second hard link, a file
// of an owner or group the saver cannot give, a folder that takes no new
// file in the target's place) the file is written in place, and then
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
    // puts it into the file FileName opens.
    // False when nothing or not all could be written; the old file is then
    // as it was, unless Detail says where its content is kept.
    bool Write(const QString& fileName, const std::function<bool(QIODevice&)>& write);
    // The same for content made already.
    bool Write(const QString& fileName, const QByteArray& content);

    // After a failed Write, a sentence for the user when the file's name
    // alone does not say enough (where its old content is kept); else empty.
    const QString& Detail() const { return m_detail; }

protected:
    enum class TReplaceResult
    {
        Replaced,
        InPlace,
        Failed
    };
    // Writes a temporary file beside Target (a path without links) and
    // renames it over Target. InPlace, with nothing changed, when the
    // folder takes no new file in Target's place or the new file could not
    // be Target in everything but content.
    virtual TReplaceResult ReplaceByRename(const QByteArray& target, const QByteArray& content);
    // Every write to a file written in place goes through here (pwrite).
    virtual ssize_t WriteAt(int fd, const char* data, size_t size, off_t offset);

private:
    bool OverwriteInPlace(const QByteArray& target, const QByteArray& content);
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
    static bool CreateNew(const QByteArray& target, const QByteArray& content);

    QString m_detail;
};
