#pragma once

// Writes the program folder's files. A file counts as up to date when it
// exists and the folder's content marker names the current content version;
// such files are not drawn again, so a rebuild costs next to nothing. A file
// that is drawn is written only when its bytes differ from those on disk.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class TContentWriter
{
public:
    // Bump whenever a drawing or a file layout changes, so that existing
    // program folders are brought up to date.
    static constexpr int ContentVersion = 1;
    static constexpr const char* MarkerName = ".orvo-content";

    TContentWriter(const QString& ProgramDir, bool Force);

    QString ProgramDir() const { return m_dir; }
    QString PathOf(const QString& RelativePath) const;

    // True when the file must be drawn (missing, out of date or forced).
    bool NeedsWriting(const QString& RelativePath) const;

    // Each writer draws through Make only when NeedsWriting; they raise
    // std::runtime_error when the file cannot be written.
    void WriteBytes(const QString& RelativePath, const std::function<QByteArray()>& Make);
    void WritePng(const QString& RelativePath, const std::function<QImage()>& Make);
    void WriteJpeg(const QString& RelativePath, int Quality, const std::function<QImage()>& Make);
    // For files that something else writes by name (the frame generators):
    // Make writes the file at the given path.
    void WriteWith(const QString& RelativePath, const std::function<void(const QString&)>& Make);
    // Makes a folder (and its parents) that may stay empty.
    void MakeFolder(const QString& RelativePath);

    // Records the content version once everything is written.
    void Finish();

    int Written() const { return m_written; }
    int Unchanged() const { return m_unchanged; }
    int Skipped() const { return m_skipped; }

private:
    void Store(const QString& RelativePath, const QByteArray& Bytes);

    QString m_dir;
    bool m_upToDate = false;
    int m_written = 0;
    int m_unchanged = 0;
    int m_skipped = 0;
};
