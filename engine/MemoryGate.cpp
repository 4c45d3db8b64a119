#include "MemoryGate.h"

#include <algorithm>

TMemoryGate::TTicket TMemoryGate::Enter(int64_t Bytes)
{
    Bytes = std::max<int64_t>(Bytes, 0);
    std::unique_lock<std::mutex> lock(m_lock);
    m_left.wait(lock, [&] { return m_held == 0 || m_held + Bytes <= m_capacity; });
    m_held += Bytes;
    return TTicket(*this, Bytes);
}

int64_t TMemoryGate::Held() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_held;
}

void TMemoryGate::Leave(int64_t Bytes)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_held -= Bytes;
    }
    m_left.notify_all();
}

void TMemoryGate::TTicket::Raise(int64_t Bytes)
{
    if (Bytes <= m_bytes)
        return;
    m_gate.Exchange(m_bytes, Bytes);
    m_bytes = Bytes;
}

void TMemoryGate::Exchange(int64_t Held, int64_t Bytes)
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_held -= Held;
    m_left.notify_all();
    m_left.wait(lock, [&] { return m_held == 0 || m_held + Bytes <= m_capacity; });
    m_held += Bytes;
}
