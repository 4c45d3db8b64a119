#include "ThreadCount.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <fstream>
#include <string>

namespace {

std::atomic<int64_t> Started{0};

using TCreate = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

} // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                              void* arg)
{
    static const auto create = reinterpret_cast<TCreate>(::dlsym(RTLD_NEXT, "pthread_create"));
    const int result = create(thread, attr, start, arg);
    if (result == 0)
        ++Started;
    return result;
}

int64_t ThreadsStarted()
{
    return Started.load();
}

int LiveThreads()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8));
    return -1;
}
