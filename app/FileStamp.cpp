#include "FileStamp.h"

#include <QFile>

#include <sys/stat.h>

TFileStamp TFileStamp::Of(const QString& FileName)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(FileName).constData(), &status) != 0)
        return TFileStamp{};
    constexpr int64_t ns = 1000000000;
    return TFileStamp{int64_t(status.st_ino), int64_t(status.st_size),
                      int64_t(status.st_mtim.tv_sec) * ns + status.st_mtim.tv_nsec,
                      int64_t(status.st_ctim.tv_sec) * ns + status.st_ctim.tv_nsec};
}
