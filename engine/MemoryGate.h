#pragma once

// Shares a number of bytes among threads that decode at the same time. A
// thread takes, before it decodes, the bytes its picture will need, waits
// while the others hold too much of the whole, and gives them back when it is
// done. A picture larger than the whole still goes, alone: nobody waits
// while nothing is held.

#include <condition_variable>
#include <cstdint>
#include <mutex>

class TMemoryGate
{
public:
    explicit TMemoryGate(int64_t Bytes) : m_capacity(Bytes) {}
    TMemoryGate(const TMemoryGate&) = delete;
    TMemoryGate& operator=(const TMemoryGate&) = delete;

    // Bytes held from Enter until the ticket is destroyed.
    class TTicket
    {
    public:
        TTicket(TMemoryGate& Gate, int64_t Bytes) : m_gate(Gate), m_bytes(Bytes) {}
        ~TTicket() { m_gate.Leave(m_bytes); }
        TTicket(const TTicket&) = delete;
        TTicket& operator=(const TTicket&) = delete;

        // Holds Bytes from now on where that is more than it holds: what it
        // holds is given back, and Bytes are waited for as Enter waits.
        void Raise(int64_t Bytes);

    private:
        TMemoryGate& m_gate;
        int64_t m_bytes;
    };

    // Waits until Bytes fit beside what the others hold, or nothing is held.
    [[nodiscard]] TTicket Enter(int64_t Bytes);
    int64_t Held() const;

private:
    void Leave(int64_t Bytes);
    // Gives back Held bytes and takes Bytes, waiting as Enter does.
    void Exchange(int64_t Held, int64_t Bytes);

    const int64_t m_capacity;
    int64_t m_held = 0;
    mutable std::mutex m_lock;
    std::condition_variable m_left;
};
