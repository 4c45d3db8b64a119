#pragma once

// What tells that a file changed since it was last read: its identity, size
// and times in nanoseconds. A missing file has all of them -1.

#include <QString>

#include <compare>
#include <cstdint>

struct TFileStamp
{
    int64_t Inode = -1;
    int64_t Size = -1;
    int64_t Modified = -1;
    int64_t Changed = -1;

    static TFileStamp Of(const QString& FileName);
    friend auto operator<=>(const TFileStamp&, const TFileStamp&) = default;
};
