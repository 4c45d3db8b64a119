// Writing whole files: by rename where the folder allows it, in place where
// it does not or where a rename would change the file's links or owner; a
// failed write leaves the old file as it was.

#include "FileWriter.h"
#include "MyGdiPlus.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An ordinary user's id, for the checks that root would pass anyway.
constexpr uid_t kOrdinaryId = 65534;

QByteArray ReadAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

auto Content(const QByteArray& bytes)
{
    return [bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); };
}

struct stat StatOf(const QString& file)
{
    struct stat st
    {
    };
    EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    return st;
}

// A writer whose folder never takes a temporary file.
class TNoTemporaryFile : public TFileWriter
{
protected:
    TReplaceResult ReplaceByRename(const QString&, const QByteArray&) override
    {
        return TReplaceResult::NoTemporaryFile;
    }
};

// The file size limit binds root too; SIGXFSZ is ignored meanwhile so that
// the write fails instead of the process.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    sighandler_t m_handler = nullptr;
};

// Run as an ordinary user: a writable file in a read-only folder.
void CheckReadOnlyFolder()
{
    TTempDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
    const QString folder = dir.file("ro");
    const QString file = folder + "/photo.jpg";
    ASSERT_TRUE(WriteFileAtomically(file, Content("old")));
    const QByteArray folderPath = QFile::encodeName(folder);
    ASSERT_EQ(::chmod(folderPath.constData(), 0555), 0);

    EXPECT_TRUE(WriteFileAtomically(file, Content("new content")));
    EXPECT_EQ(ReadAll(file), "new content");
    // A failed encoding never touches the file.
    EXPECT_FALSE(WriteFileAtomically(file, [](QIODevice& d) {
        d.write("half");
        return false;
    }));
    EXPECT_EQ(ReadAll(file), "new content");
    // No new file appears in the folder.
    EXPECT_FALSE(WriteFileAtomically(folder + "/other.jpg", Content("x")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"photo.jpg"});

    ::chmod(folderPath.constData(), 0755);
}

} // namespace

TEST(FileWriterTest, WithoutATemporaryFileWritesInPlaceOrNotAtAll)
{
    TTempDir dir;
    const QString file = dir.write("photo.jpg", "an old content, longer than the new");
    const ino_t inode = StatOf(file).st_ino;
    TNoTemporaryFile writer;

    EXPECT_TRUE(writer.Write(file, Content("new")));
    EXPECT_EQ(ReadAll(file), "new");
    EXPECT_EQ(StatOf(file).st_ino, inode);

    // A content the disk cannot take is refused before the old one is
    // touched.
    {
        TFileSizeLimit limit(64);
        EXPECT_FALSE(writer.Write(file, Content(QByteArray(1000, 'x'))));
    }
    EXPECT_EQ(ReadAll(file), "new");

    // A missing file is made directly, and not left half-written.
    EXPECT_TRUE(writer.Write(dir.file("fresh.jpg"), Content("fresh")));
    EXPECT_EQ(ReadAll(dir.file("fresh.jpg")), "fresh");
    {
        TFileSizeLimit limit(64);
        EXPECT_FALSE(writer.Write(dir.file("big.jpg"), Content(QByteArray(1000, 'x'))));
    }
    EXPECT_FALSE(QFile::exists(dir.file("big.jpg")));
}

TEST(FileWriterTest, KeepsHardLinksAndTheOwner)
{
    TTempDir dir;
    const QString file = dir.write("photo.jpg", "old");
    ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                     QFile::encodeName(dir.file("copy.jpg")).constData()),
              0);
    ASSERT_TRUE(WriteFileAtomically(file, Content("new")));
    EXPECT_EQ(ReadAll(dir.file("copy.jpg")), "new");

    // Only root can hand a file to another user.
    if (::geteuid() == 0) {
        const QString theirs = dir.write("theirs.jpg", "old");
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), kOrdinaryId, kOrdinaryId), 0);
        ASSERT_TRUE(WriteFileAtomically(theirs, Content("new")));
        EXPECT_EQ(ReadAll(theirs), "new");
        EXPECT_EQ(StatOf(theirs).st_uid, kOrdinaryId);
        EXPECT_EQ(StatOf(theirs).st_gid, gid_t(kOrdinaryId));
    }
}

TEST(FileWriterTest, SavesOverAWritableFileInAReadOnlyFolder)
{
    if (::geteuid() != 0) {
        CheckReadOnlyFolder();
        return;
    }
    // Root writes into any folder: this test runs again in a child process
    // under an ordinary user, with a temporary folder that user can use. The
    // process's own temporary folder and the one above it (both ours) let
    // others pass through to it.
    const QString ownTemp = QDir::tempPath();
    for (const QString& folder : {QFileInfo(ownTemp).absolutePath(), ownTemp}) {
        QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther);
    }
    TTempDir tmp;
    const QByteArray tmpPath = QFile::encodeName(tmp.path());
    ASSERT_EQ(::chmod(tmpPath.constData(), 01777), 0);
    const QString program = QCoreApplication::applicationFilePath();
    const QByteArray programPath = QFile::encodeName(program);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", tmp.path());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([&tmpPath, &programPath] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryId) != 0 ||
            ::setuid(kOrdinaryId) != 0 || ::access(tmpPath.constData(), W_OK | X_OK) != 0 ||
            ::access(programPath.constData(), X_OK) != 0)
            ::_exit(125);
    });
    child.start(program, {"--gtest_filter=FileWriterTest.SavesOverAWritableFileInAReadOnlyFolder"});
    if (!child.waitForStarted())
        GTEST_SKIP() << "an ordinary user cannot start this test program";
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitCode() == 125)
        GTEST_SKIP() << "an ordinary user cannot reach this test program or a temporary folder";
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
