#include "JpegEnd.h"

#include <QIODevice>

#include <cstring>
#include <vector>

namespace {

constexpr qint64 PieceSize = qint64(64) << 10;

// A device read in pieces: byte by byte, or skipping ahead.
class TByteReader
{
public:
    explicit TByteReader(QIODevice& Device) : m_device(Device), m_piece(size_t(PieceSize)) {}

    // The next byte; -1 at the end of the data.
    int Next()
    {
        if (m_at == m_end && !Fill())
            return -1;
        return m_piece[size_t(m_at++)];
    }

    // Skips Count bytes; false when the data ends first.
    bool Skip(qint64 Count)
    {
        const qint64 buffered = m_end - m_at;
        if (Count <= buffered) {
            m_at += Count;
            return true;
        }
        m_at = m_end;
        const qint64 target = m_device.pos() + (Count - buffered);
        return target <= m_device.size() && m_device.seek(target);
    }

    // Moves past the next 0xFF byte; false when there is none.
    bool SkipPastFF()
    {
        for (;;) {
            const uchar* from = m_piece.data() + m_at;
            if (const void* found = std::memchr(from, 0xFF, size_t(m_end - m_at))) {
                m_at += static_cast<const uchar*>(found) - from + 1;
                return true;
            }
            m_at = m_end;
            if (!Fill())
                return false;
        }
    }

private:
    bool Fill()
    {
        const qint64 read = m_device.read(reinterpret_cast<char*>(m_piece.data()), PieceSize);
        if (read <= 0)
            return false;
        m_at = 0;
        m_end = read;
        return true;
    }

    QIODevice& m_device;
    std::vector<uchar> m_piece;
    qint64 m_at = 0;
    qint64 m_end = 0;
};

} // namespace

TJpegEnd FindJpegEnd(QIODevice& Device)
{
    TByteReader in(Device);
    if (in.Next() != 0xFF || in.Next() != 0xD8)
        return TJpegEnd::NotJpeg;
    // Every 0xFF starts a marker: entropy-coded data holds no other 0xFF than
    // those followed by a stuffed zero or a restart marker, and segments are
    // passed over by their length, so the bytes of an embedded thumbnail or
    // of tables never count.
    for (;;) {
        if (!in.SkipPastFF())
            return TJpegEnd::CutShort;
        int marker = in.Next();
        while (marker == 0xFF) // fill bytes
            marker = in.Next();
        if (marker < 0)
            return TJpegEnd::CutShort;
        if (marker == 0xD9)
            return TJpegEnd::Whole;
        // A stuffed zero, a restart marker and the other markers without a
        // segment.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        const int high = in.Next();
        const int low = in.Next();
        if (high < 0 || low < 0)
            return TJpegEnd::CutShort;
        const int length = (high << 8) | low;
        if (length < 2 || !in.Skip(length - 2))
            return TJpegEnd::CutShort;
    }
}
