#pragma once

// Writes the program folder's files. A file counts as up to date when it
// exists and the folder's content marker holds the fingerprint of the
// generator that drew it (a hash of the generator's own executable, so any
// change to a drawing or to the engine's file writers draws everything
// again); up-to-date files are not drawn again. A file that is drawn is
// written only when its bytes differ from those on disk, so unchanged files
// keep their dates.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class TContentWriter
{
public:
    static constexpr const char* MarkerName = ".orvo-content";

    // Raises std::runtime_error when the folder cannot be made.
    TContentWriter(const QString& ProgramDir, const QByteArray& Fingerprint, bool Force);

    // The fingerprint of a generator: a hash of its executable file.
    static QByteArray FingerprintOf(const QString& ExecutablePath);

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
    QByteArray MarkerText() const;

    QString m_dir;
    QByteArray m_fingerprint;
    bool m_upToDate = false;
    int m_written = 0;
    int m_unchanged = 0;
    int m_skipped = 0;
};
