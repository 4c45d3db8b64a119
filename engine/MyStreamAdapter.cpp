#include "MyStreamAdapter.h"

#include <QDateTime>

#include <exception>

namespace {

// 100-nanosecond units from 1601-01-01 to 1970-01-01.
constexpr int64_t UnixEpochAsFileTime = 116444736000000000LL;

// The current local date and time (not converted to UTC) in 100-nanosecond
// units since 1601-01-01.
uint64_t LocalNowAsFileTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const int64_t localMs = now.toMSecsSinceEpoch() + int64_t(now.offsetFromUtc()) * 1000;
    return uint64_t(UnixEpochAsFileTime + localMs * 10000);
}

} // namespace

TMyStreamAdapter::TMyStreamAdapter(TMemoryStream* Stream, TStreamOwnership Ownership)
    : m_stream(Stream)
{
    if (Ownership == soOwned)
        m_owned.reset(Stream);
    // Unbuffered, so that every read goes to the stream at our position.
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

TMyStreamAdapter::~TMyStreamAdapter()
{
    QIODevice::close();
}

int32_t TMyStreamAdapter::Stat(STATSTG* Record, uint32_t Flag) const
{
    Q_UNUSED(Flag);
    if (Record == nullptr)
        return S_OK;
    try {
        *Record = STATSTG{};
        Record->type = STGTY_STREAM;
        Record->cbSize = m_stream ? uint64_t(m_stream->size()) : 0;
        const uint64_t now = LocalNowAsFileTime();
        Record->mtime = now;
        Record->ctime = now;
        Record->atime = now;
        Record->grfLocksSupported = LOCK_WRITE;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

qint64 TMyStreamAdapter::size() const
{
    return m_stream ? m_stream->size() : 0;
}

bool TMyStreamAdapter::seek(qint64 pos)
{
    if (pos < 0)
        return false;
    return QIODevice::seek(pos);
}

qint64 TMyStreamAdapter::readData(char* data, qint64 maxSize)
{
    if (m_stream == nullptr || !m_stream->isReadable())
        return -1;
    const qint64 at = pos();
    if (at >= m_stream->size())
        return 0;
    if (m_stream->pos() != at && !m_stream->seek(at))
        return -1;
    return m_stream->read(data, maxSize);
}

qint64 TMyStreamAdapter::writeData(const char* data, qint64 maxSize)
{
    Q_UNUSED(data);
    Q_UNUSED(maxSize);
    return -1;
}
