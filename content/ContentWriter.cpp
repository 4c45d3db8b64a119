#include "ContentWriter.h"

#include "MyGdiPlus.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

[[noreturn]] void Fail(const QString& Message)
{
    throw std::runtime_error(Message.toStdString());
}

} // namespace

TContentWriter::TContentWriter(const QString& ProgramDir, const QByteArray& Fingerprint, bool Force)
    : m_dir(QDir(ProgramDir).absolutePath()), m_fingerprint(Fingerprint)
{
    if (!QDir().mkpath(m_dir))
        Fail(QStringLiteral("Cannot create folder %1").arg(m_dir));
    QFile marker(PathOf(QString::fromLatin1(MarkerName)));
    if (!Force && marker.open(QIODevice::ReadOnly))
        m_upToDate = marker.readAll() == MarkerText();
}

QByteArray TContentWriter::FingerprintOf(const QString& ExecutablePath)
{
    QFile file(ExecutablePath);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Cannot open file %1").arg(ExecutablePath));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

QByteArray TContentWriter::MarkerText() const
{
    return "orvo content " + m_fingerprint + "\n";
}

QString TContentWriter::PathOf(const QString& RelativePath) const
{
    return m_dir + QLatin1Char('/') + RelativePath;
}

bool TContentWriter::NeedsWriting(const QString& RelativePath) const
{
    return !m_upToDate || !QFileInfo(PathOf(RelativePath)).isFile();
}

void TContentWriter::WriteBytes(const QString& RelativePath,
                                const std::function<QByteArray()>& Make)
{
    if (!NeedsWriting(RelativePath)) {
        ++m_skipped;
        return;
    }
    Store(RelativePath, Make());
}

void TContentWriter::WritePng(const QString& RelativePath, const std::function<QImage()>& Make)
{
    WriteBytes(RelativePath, [&] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!EncodeImage(Make(), &buffer, "image/png"))
            Fail(QStringLiteral("Cannot encode %1").arg(RelativePath));
        return bytes;
    });
}

void TContentWriter::WriteJpeg(const QString& RelativePath, int Quality,
                               const std::function<QImage()>& Make)
{
    WriteBytes(RelativePath, [&] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        // JPEG has no alpha channel; the pictures given are opaque.
        QImage image = Make().convertToFormat(QImage::Format_RGB32);
        if (!EncodeImage(image, &buffer, "image/jpeg", Quality))
            Fail(QStringLiteral("Cannot encode %1").arg(RelativePath));
        return bytes;
    });
}

void TContentWriter::WriteWith(const QString& RelativePath,
                               const std::function<void(const QString&)>& Make)
{
    WriteBytes(RelativePath, [&] {
        QTemporaryDir scratch;
        if (!scratch.isValid())
            Fail(QStringLiteral("Cannot create a temporary folder for %1").arg(RelativePath));
        const QString name = scratch.filePath(QFileInfo(RelativePath).fileName());
        Make(name);
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            Fail(QStringLiteral("Cannot open file %1").arg(name));
        return file.readAll();
    });
}

void TContentWriter::MakeFolder(const QString& RelativePath)
{
    if (!QDir().mkpath(PathOf(RelativePath)))
        Fail(QStringLiteral("Cannot create folder %1").arg(PathOf(RelativePath)));
}

void TContentWriter::Store(const QString& RelativePath, const QByteArray& Bytes)
{
    const QString path = PathOf(RelativePath);
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == Bytes) {
        ++m_unchanged;
        return;
    }
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        Fail(QStringLiteral("Cannot create folder %1").arg(QFileInfo(path).absolutePath()));
    const bool ok = WriteFileAtomically(
        path, [&](QIODevice& device) { return device.write(Bytes) == Bytes.size(); });
    if (!ok)
        Fail(QStringLiteral("Cannot create file %1").arg(path));
    ++m_written;
}

void TContentWriter::Finish()
{
    // The marker is bookkeeping, not content: it does not count.
    const int written = m_written;
    const int unchanged = m_unchanged;
    Store(QString::fromLatin1(MarkerName), MarkerText());
    m_written = written;
    m_unchanged = unchanged;
    m_upToDate = true;
}
