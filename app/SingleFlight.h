#pragma once

// Values made once per key and shared by the threads that ask for them. The
// first thread to ask for a key makes the value, outside the lock; the
// threads that ask for it meanwhile wait for that value instead of making it
// again, while threads that ask for other keys go on. A value whose making
// raised is not kept: the threads waiting for it get the error, and the next
// thread to ask makes it again. The values asked for last are kept, at most
// Capacity of them; threads that still hold a dropped value keep it.

#include <algorithm>
#include <cstdint>
#include <future>
#include <map>
#include <mutex>

template <class Key, class Value> class TSingleFlight
{
public:
    explicit TSingleFlight(size_t Capacity) : m_capacity(std::max<size_t>(1, Capacity)) {}
    TSingleFlight(const TSingleFlight&) = delete;
    TSingleFlight& operator=(const TSingleFlight&) = delete;

    // The value of K, made by Make() when no thread has it or is making it.
    template <class Make> Value Get(const Key& K, Make&& make)
    {
        std::promise<Value> made;
        std::shared_future<Value> value;
        uint64_t mine = 0; // the entry this thread makes, if any
        {
            std::lock_guard<std::mutex> lock(m_lock);
            auto found = m_entries.find(K);
            if (found == m_entries.end()) {
                mine = ++m_made;
                found = m_entries.emplace(K, TEntry{made.get_future().share(), 0, mine}).first;
            }
            found->second.LastUse = ++m_uses;
            value = found->second.Made;
            // The entries asked for longest ago go, never this one.
            while (m_entries.size() > m_capacity)
                m_entries.erase(std::min_element(m_entries.begin(), m_entries.end(),
                                                 [](const auto& a, const auto& b) {
                                                     return a.second.LastUse < b.second.LastUse;
                                                 }));
        }
        if (mine) {
            try {
                made.set_value(make());
            } catch (...) {
                {
                    std::lock_guard<std::mutex> lock(m_lock);
                    const auto found = m_entries.find(K);
                    if (found != m_entries.end() && found->second.Id == mine)
                        m_entries.erase(found);
                }
                made.set_exception(std::current_exception());
            }
        }
        return value.get();
    }

private:
    struct TEntry
    {
        std::shared_future<Value> Made;
        uint64_t LastUse = 0;
        uint64_t Id = 0;
    };

    const size_t m_capacity;
    std::mutex m_lock;
    std::map<Key, TEntry> m_entries;
    uint64_t m_uses = 0;
    uint64_t m_made = 0;
};
