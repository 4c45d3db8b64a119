#pragma once

// A whole copy of a file's content, kept while the file is overwritten in
// place: in a folder of its own under the program's cache folder, flushed to
// disk before the file is touched. It is written under the file's name with
// ".partial" added and takes the file's own name once it is whole on disk.
// It goes with the object unless Keep() was called; a process killed while
// the file is written leaves it there for the user.

#include <QString>

#include <functional>
#include <sys/types.h>

class TKeptCopy
{
public:
    // Writes Size bytes at Offset; the count written or -1 (errno).
    using TWriteAt = std::function<ssize_t(const char* Data, size_t Size, off_t Offset)>;

    // Copies the first Size bytes of the open file Fd; Name is the file's
    // name. IsMade() tells whether the copy is whole and on disk.
    TKeptCopy(int Fd, off_t Size, const QString& Name);
    ~TKeptCopy();
    TKeptCopy(const TKeptCopy&) = delete;
    TKeptCopy& operator=(const TKeptCopy&) = delete;

    bool IsMade() const { return m_made; }
    const QString& Path() const { return m_path; }
    // Writes the kept content back through WriteAt, from the start.
    bool CopyBack(const TWriteAt& WriteAt) const;
    // The copy stays when the object goes.
    void Keep() { m_keep = true; }

    // Where the copies go ("kept-while-saving" in the program's cache
    // folder).
    static QString Folder();

private:
    bool Make(int Fd, off_t Size, const QString& Name);

    QString m_folder;
    QString m_path;
    int m_fd = -1;
    off_t m_size = 0;
    bool m_made = false;
    bool m_keep = false;
};
