// Wide-path files: the file stream's modes, errors and I/O, file ages and
// existence, and the path functions with "/" as the only delimiter.

#include "UniFuncs.h"

#include "TestSupport.h"

#include <QDir>

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <utime.h>

#include <gtest/gtest.h>

namespace {

// Runs the test in India's zone, five and a half hours east of UTC all year
// (so local time and UTC differ by hours and minutes whatever the machine's
// zone is), and puts the old zone back afterwards.
class TIndiaZone
{
public:
    TIndiaZone()
    {
        if (const char* tz = std::getenv("TZ")) {
            m_had = true;
            m_old = tz;
        }
        setenv("TZ", "IST-5:30", 1);
        tzset();
    }
    ~TIndiaZone()
    {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

void SetModified(const QString& path, time_t when)
{
    struct utimbuf times
    {
        when, when
    };
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
}

// The moment of a local date and time.
time_t Local(int year, int month, int day, int hour, int minute, int second)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST(UniFuncsTest, LastDelimiterIsOneBasedAndSkipsNul)
{
    EXPECT_EQ(WideLastDelimiter(QStringLiteral("/"), QString()), 0);
    EXPECT_EQ(WideLastDelimiter(QStringLiteral("/"), QStringLiteral("abc")), 0);
    EXPECT_EQ(WideLastDelimiter(QStringLiteral("/"), QStringLiteral("/a/bc")), 3);
    EXPECT_EQ(WideLastDelimiter(QStringLiteral("./"), QStringLiteral("a.b/c")), 4);
    EXPECT_EQ(WideLastDelimiter(QStringLiteral("./"), QStringLiteral("a/b.c")), 4);
    // A NUL in the delimiter set never matches a NUL in the string.
    const QString nul(QChar(0));
    EXPECT_EQ(WideLastDelimiter(nul, QStringLiteral("ab") + nul), 0);
    EXPECT_EQ(WideLastDelimiter(nul + QStringLiteral("/"), QStringLiteral("a/b") + nul), 2);
}

TEST(UniFuncsTest, FileNameIsThePartAfterTheLastSlash)
{
    EXPECT_EQ(WideExtractFileName(QStringLiteral("/home/u/Frames/Gold.okx")),
              QStringLiteral("Gold.okx"));
    EXPECT_EQ(WideExtractFileName(QStringLiteral("picture.png")), QStringLiteral("picture.png"));
    EXPECT_EQ(WideExtractFileName(QStringLiteral("/a/folder/")), QString());
    // A colon is an ordinary character on Linux.
    EXPECT_EQ(WideExtractFileName(QStringLiteral("photo:1.png")), QStringLiteral("photo:1.png"));
    EXPECT_EQ(WideExtractFileName(QStringLiteral("/x/photo:1.png")), QStringLiteral("photo:1.png"));
    // A backslash is too.
    EXPECT_EQ(WideExtractFileName(QStringLiteral("a\\b.png")), QStringLiteral("a\\b.png"));
    EXPECT_EQ(WideExtractFileName(QStringLiteral("/Bilder/\u00c4pfel \u6846.png")),
              QStringLiteral("\u00c4pfel \u6846.png"));
}

TEST(UniFuncsTest, ExtensionKeepsDotAndCaseAndIgnoresFolders)
{
    EXPECT_EQ(WideExtractFileExt(QStringLiteral("/a/picture.JPG")), QStringLiteral(".JPG"));
    EXPECT_EQ(WideExtractFileExt(QStringLiteral("archive.tar.gz")), QStringLiteral(".gz"));
    EXPECT_EQ(WideExtractFileExt(QStringLiteral("/my.folder/README")), QString());
    EXPECT_EQ(WideExtractFileExt(QStringLiteral("name.")), QStringLiteral("."));
    EXPECT_EQ(WideExtractFileExt(QStringLiteral("/a/.hidden")), QStringLiteral(".hidden"));
    EXPECT_EQ(WideExtractFileExt(QStringLiteral("plain")), QString());
    EXPECT_EQ(WideExtractFileExt(QString()), QString());
    EXPECT_EQ(WideExtractFileExt(QStringLiteral("photo:1.png")), QStringLiteral(".png"));
}

TEST(UniFuncsTest, FileAgeIsTheLocalDosDateAndTime)
{
    TIndiaZone zone;
    TTempDir dir;
    const QString path = dir.write(QStringLiteral("a.okx"), "x");
    SetModified(path, Local(2050, 6, 15, 12, 30, 44));
    const int32_t age = WideFileAge(path);
    EXPECT_EQ(uint32_t(age), 0x8CCF63D6u);
    EXPECT_LT(age, 0);
    EXPECT_TRUE(WideFileExists(path));

    // 1980-01-01 00:00:00 is the first DOS date; odd seconds drop to even.
    SetModified(path, Local(1980, 1, 1, 0, 0, 1));
    EXPECT_EQ(WideFileAge(path), int32_t(0x00210000));
}

TEST(UniFuncsTest, FilesWithoutDosDateStillExist)
{
    TIndiaZone zone;
    TTempDir dir;
    const QString path = dir.write(QStringLiteral("old.png"), "x");
    SetModified(path, 86400); // 1970-01-02
    EXPECT_EQ(WideFileAge(path), -1);
    EXPECT_TRUE(WideFileExists(path));
}

TEST(UniFuncsTest, FoldersMissingFilesAndFifosDoNotExist)
{
    TTempDir dir;
    EXPECT_FALSE(WideFileExists(dir.path()));
    EXPECT_EQ(WideFileAge(dir.path()), -1);
    EXPECT_FALSE(WideFileExists(dir.file(QStringLiteral("missing.okx"))));
    EXPECT_EQ(WideFileAge(dir.file(QStringLiteral("missing.okx"))), -1);
    EXPECT_FALSE(WideFileExists(QString()));
    const QString fifo = dir.file(QStringLiteral("x.okx"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(WideFileExists(fifo));
}

TEST(UniFuncsTest, UnicodeNamesOpenAndExist)
{
    TTempDir dir;
    const QString path = dir.write(QStringLiteral("\u6846 \u00e9t\u00e9.okx"), "abc");
    EXPECT_TRUE(WideFileExists(path));
    TFileStreamW stream(path, fmOpenRead);
    EXPECT_EQ(stream.Size(), 3);
}

TEST(UniFuncsTest, OpenFailuresRaiseTheOpenErrorWithThePath)
{
    TTempDir dir;
    const QString missing = dir.file(QStringLiteral("missing.okx"));
    try {
        TFileStreamW stream(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), QStringLiteral("Cannot open file ") + missing);
    }
    // Folders and FIFOs fail at once rather than blocking.
    EXPECT_THROW(TFileStreamW(dir.path(), fmOpenRead), EFOpenError);
    const QString fifo = dir.file(QStringLiteral("x.okx"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_THROW(TFileStreamW(fifo, fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStreamW(fifo, fmOpenWrite), EFOpenError);
    // A name with a NUL in it names no file, not the part before the NUL.
    const QString real = dir.write(QStringLiteral("real.okx"), "x");
    EXPECT_THROW(TFileStreamW(real + QChar(0) + QStringLiteral("tail"), fmOpenRead), EFOpenError);
    EXPECT_FALSE(WideFileExists(real + QChar(0) + QStringLiteral("tail")));
}

TEST(UniFuncsTest, InvalidModesRaiseTheOpenError)
{
    TTempDir dir;
    const QString path = dir.write(QStringLiteral("a.okx"), "abc");
    EXPECT_THROW(TFileStreamW(path, 0x0003), EFOpenError);             // access index 3
    EXPECT_THROW(TFileStreamW(path, 0x0050), EFOpenError);             // share index 5
    EXPECT_THROW(TFileStreamW(path, 0x00F0), EFOpenError);             // share index 15
    EXPECT_NO_THROW(TFileStreamW(path, fmOpenRead | fmShareDenyNone)); // share index 4
    EXPECT_NO_THROW(TFileStreamW(path, fmOpenReadWrite | fmShareExclusive));
    // Bits above the share nibble are not part of the mode.
    EXPECT_NO_THROW(TFileStreamW(path, 0x0100));
}

TEST(UniFuncsTest, TwoReadersOfOneFileBothOpen)
{
    TTempDir dir;
    const QString path = dir.write(QStringLiteral("a.okx"), "abc");
    TFileStreamW first(path, fmOpenRead);
    TFileStreamW second(path, fmOpenRead);
    char a = 0;
    char b = 0;
    first.ReadBuffer(&a, 1);
    second.ReadBuffer(&b, 1);
    EXPECT_EQ(a, 'a');
    EXPECT_EQ(b, 'a');
}

TEST(UniFuncsTest, CreateEmptiesAnExistingFileAndFailsInAMissingFolder)
{
    TTempDir dir;
    const QString path = dir.write(QStringLiteral("a.okx"), "old content");
    {
        TFileStreamW stream(path, fmCreate);
        EXPECT_EQ(stream.Size(), 0);
        stream.WriteBuffer("new", 3);
    }
    EXPECT_EQ(ReadAll(path), QByteArray("new"));

    const QString bad = dir.file(QStringLiteral("no/such/folder/b.okx"));
    try {
        TFileStreamW stream(bad, fmCreate);
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), QStringLiteral("Cannot create file ") + bad);
    }
    EXPECT_THROW(TFileStreamW(dir.path(), fmCreate), EFCreateError);
    const QString fifo = dir.file(QStringLiteral("x.okx"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_THROW(TFileStreamW(fifo, fmCreate), EFCreateError);
}

TEST(UniFuncsTest, ReadWriteSeekAndSize)
{
    TTempDir dir;
    const QString path = dir.file(QStringLiteral("rw.okx"));
    TFileStreamW stream(path, fmCreate);
    EXPECT_EQ(stream.Write("0123456789", 10), 10);
    EXPECT_EQ(stream.Position(), 10);
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_EQ(stream.Seek(2, TSeekOrigin::soBeginning), 2);
    char buf[4] = {};
    EXPECT_EQ(stream.Read(buf, 3), 3);
    EXPECT_EQ(QByteArray(buf, 3), QByteArray("234"));
    EXPECT_EQ(stream.Seek(1, TSeekOrigin::soCurrent), 6);
    EXPECT_EQ(stream.Seek(-2, TSeekOrigin::soEnd), 8);
    // A short read returns what there was; the buffer form raises.
    EXPECT_EQ(stream.Read(buf, 4), 2);
    stream.Seek(8, TSeekOrigin::soBeginning);
    try {
        stream.ReadBuffer(buf, 4);
        FAIL() << "read past the end";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    EXPECT_NO_THROW(stream.ReadBuffer(buf, 0));
}

TEST(UniFuncsTest, WritingToAReadOnlyStreamRaisesTheWriteError)
{
    TTempDir dir;
    const QString path = dir.write(QStringLiteral("a.okx"), "abc");
    TFileStreamW stream(path, fmOpenRead);
    EXPECT_EQ(stream.Write("x", 1), 0);
    try {
        stream.WriteBuffer("x", 1);
        FAIL() << "wrote to a read-only stream";
    } catch (const EWriteError& e) {
        EXPECT_STREQ(e.what(), "Stream write error");
    }
    EXPECT_EQ(ReadAll(path), QByteArray("abc"));
}
