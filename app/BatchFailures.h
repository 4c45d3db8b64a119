#pragma once

// The photos of a batch run that were not framed, each with the reason in a
// few words, and the text that tells the user about them at the end of the
// run.

#include <QString>

#include <vector>

class TBatchFailures
{
public:
    struct TEntry
    {
        QString Photo;
        QString Reason;
    };

    // At most this many photos are named in the text itself; Details names
    // every one.
    static constexpr int ShownInText = 12;

    void Add(const QString& Photo, const QString& Reason);
    bool IsEmpty() const { return m_entries.empty(); }
    int Count() const { return int(m_entries.size()); }
    const std::vector<TEntry>& Entries() const { return m_entries; }

    // "These photos were not framed:" and one line per photo, the first
    // ShownInText of them, then how many more there are.
    QString Text() const;
    // One line per photo, all of them; empty when Text names them all.
    QString Details() const;

private:
    static QString Line(const TEntry& Entry);

    std::vector<TEntry> m_entries;
};
