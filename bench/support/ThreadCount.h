#pragma once

// Counting the threads a benchmark's process starts: every thread starts
// through pthread_create, and the benchmarks' own stands in front of the C
// library's (the executable's definition comes first for every library), so
// Qt's and the standard library's threads are counted as well as ours.

#include <cstdint>

// Threads started since the process began.
int64_t ThreadsStarted();
// Threads alive in the process now.
int LiveThreads();
