// The memory gate of a batch run: a ticket raised to more than fits beside
// the others gives its own bytes back while it waits, so two photos that
// both grow never wait for each other.

#include "MemoryGate.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

TEST(MemoryGateTest, ARaisedTicketWaitsForRoomHoldingNothing)
{
    TMemoryGate gate(100);
    std::unique_ptr<TMemoryGate::TTicket> other(new TMemoryGate::TTicket(gate.Enter(40)));
    TMemoryGate::TTicket ticket = gate.Enter(60);
    ticket.Raise(50);
    EXPECT_EQ(gate.Held(), 100);
    std::thread raise([&] { ticket.Raise(80); });
    // While it waits, only the other ticket's bytes are held.
    while (gate.Held() != 40)
        std::this_thread::yield();
    other.reset();
    raise.join();
    EXPECT_EQ(gate.Held(), 80);
}
