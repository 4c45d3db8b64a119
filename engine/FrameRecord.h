#pragma once

// The fixed-size record of a frame file: little-endian fields at byte
// offsets. A new record is all zero, so reserved bytes stay 0 when written.

#include <QByteArray>

#include <cstdint>

class TFrameRecord
{
public:
    explicit TFrameRecord(int Size);
    // Takes over bytes read from a file (the record's whole size).
    TFrameRecord(const char* Data, int Size);

    void PutByte(int Offset, uint8_t Value);
    void PutUInt16(int Offset, uint16_t Value);
    void PutInt32(int Offset, int32_t Value);
    void PutUInt32(int Offset, uint32_t Value);

    uint8_t GetByte(int Offset) const;
    uint16_t GetUInt16(int Offset) const;
    int32_t GetInt32(int Offset) const;
    uint32_t GetUInt32(int Offset) const;

    int Size() const { return int(m_bytes.size()); }
    char* Data() { return m_bytes.data(); }
    const QByteArray& Bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
