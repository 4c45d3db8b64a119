#pragma once

// A small random generator with a fixed sequence for a given seed, so that
// every build draws the same pictures on every machine (the standard
// library's distributions are free to differ between implementations).

#include <cstdint>

class TSeededRandom
{
public:
    explicit TSeededRandom(uint64_t Seed) : m_state(Seed ? Seed : 0x9E3779B97F4A7C15ull) {}

    uint64_t Next()
    {
        // xorshift64*
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1Dull;
    }
    // A value in [0, 1).
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // A value in [Low, High).
    double Range(double Low, double High) { return Low + (High - Low) * Unit(); }
    // An integer in [Low, High].
    int Between(int Low, int High) { return Low + int(Next() % uint64_t(High - Low + 1)); }

private:
    uint64_t m_state;
};
