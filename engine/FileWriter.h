#pragma once

// Writing a whole file so that a failed write leaves the file that was there
// as it was. The content is made in memory first, so a failed encoding never
// touches the file. Then, where the folder allows it, a temporary file
// beside the target replaces it by rename. The file is written in place
// instead (same file, same owner, group, links and permissions) where
// - no temporary file can be made beside it (a read-only folder holding a
//   writable file), or
// - a rename would change what the file is: it has several hard links (the
//   other names would keep the old content), or the temporary file would
//   belong to another owner or group than the file.
// Writing in place reserves the room for the new content before it writes,
// so a full disk or the file size limit refuses the write before a byte of
// the old content is overwritten.

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

class TFileWriter
{
public:
    virtual ~TFileWriter() = default;

    // Makes the content through Write (which returns false to give up) and
    // puts it into FileName, through a symbolic link to what it points at.
    // False when nothing or not all could be written; the old file is then
    // as it was.
    bool Write(const QString& fileName, const std::function<bool(QIODevice&)>& write);

protected:
    enum class TReplaceResult
    {
        Replaced,
        NoTemporaryFile,
        Failed
    };
    // Writes a temporary file beside Target and renames it over Target,
    // keeping Target's permissions.
    virtual TReplaceResult ReplaceByRename(const QString& target, const QByteArray& content);

private:
    static bool OverwriteInPlace(const QString& target, const QByteArray& content);
    static bool CreateNew(const QString& target, const QByteArray& content);
};
