#include "FrameRecord.h"

#include <QtEndian>

#include <cassert>

TFrameRecord::TFrameRecord(int Size) : m_bytes(Size, '\0') {}

TFrameRecord::TFrameRecord(const char* Data, int Size) : m_bytes(Data, Size) {}

void TFrameRecord::PutByte(int Offset, uint8_t Value)
{
    assert(Offset >= 0 && Offset + 1 <= Size());
    m_bytes[Offset] = char(Value);
}

void TFrameRecord::PutUInt16(int Offset, uint16_t Value)
{
    assert(Offset >= 0 && Offset + 2 <= Size());
    qToLittleEndian<quint16>(Value, m_bytes.data() + Offset);
}

void TFrameRecord::PutInt32(int Offset, int32_t Value)
{
    PutUInt32(Offset, uint32_t(Value));
}

void TFrameRecord::PutUInt32(int Offset, uint32_t Value)
{
    assert(Offset >= 0 && Offset + 4 <= Size());
    qToLittleEndian<quint32>(Value, m_bytes.data() + Offset);
}

uint8_t TFrameRecord::GetByte(int Offset) const
{
    assert(Offset >= 0 && Offset + 1 <= Size());
    return uint8_t(m_bytes[Offset]);
}

uint16_t TFrameRecord::GetUInt16(int Offset) const
{
    assert(Offset >= 0 && Offset + 2 <= Size());
    return qFromLittleEndian<quint16>(m_bytes.constData() + Offset);
}

int32_t TFrameRecord::GetInt32(int Offset) const
{
    return int32_t(GetUInt32(Offset));
}

uint32_t TFrameRecord::GetUInt32(int Offset) const
{
    assert(Offset >= 0 && Offset + 4 <= Size());
    return qFromLittleEndian<quint32>(m_bytes.constData() + Offset);
}
