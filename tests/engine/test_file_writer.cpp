// Writing whole files: by rename where the folder allows it, in place where
// it does not, with a copy of the old content kept meanwhile; a failed write
// leaves the old file as it was.

#include "FileWriter.h"
#include "KeptCopy.h"
#include "MyGdiPlus.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cerrno>
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

// The file size limit binds root too. A write past it raises SIGXFSZ, which
// the writer itself keeps from ending the process.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~TFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

QStringList KeptCopies()
{
    QStringList copies;
    QDirIterator it(TKeptCopy::Folder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        copies << it.next();
    return copies;
}

// A writer that writes in place on a disk that fails once Allowed more bytes
// went to the file, and takes note of the copies of old content that exist
// when the file is first written to.
class TFailingDisk : public TNoTemporaryFile
{
public:
    qint64 Allowed = 0;
    // Whether the disk works again after its first failure.
    bool Recovers = false;
    QByteArrayList CopiesAtFirstWrite;

protected:
    ssize_t WriteAt(int fd, const char* data, size_t size, off_t offset) override
    {
        if (!m_touched)
            for (const QString& copy : KeptCopies())
                CopiesAtFirstWrite << ReadAll(copy);
        m_touched = true;
        if (m_failed && Recovers)
            return TFileWriter::WriteAt(fd, data, size, offset);
        const qint64 n = std::min(qint64(size), Allowed);
        if (n <= 0) {
            m_failed = true;
            errno = EIO;
            return -1;
        }
        Allowed -= n;
        return TFileWriter::WriteAt(fd, data, size_t(n), offset);
    }

private:
    bool m_touched = false;
    bool m_failed = false;
};

// A volume of a few megabytes in a file system without fallocate (ext3),
// mounted from an image made in Folder; unmounted with the object.
class TExt3Volume
{
public:
    explicit TExt3Volume(const QString& folder) : m_path(folder + "/volume")
    {
        const QString image = folder + "/ext3.img";
        QFile file(image);
        if (!QDir().mkpath(m_path) || !file.open(QIODevice::WriteOnly) || !file.resize(4 << 20)) {
            m_problem = "cannot make the image";
            return;
        }
        file.close();
        m_problem = Run("mkfs.ext3", {"-q", "-F", "-m", "0", image});
        if (m_problem.isEmpty())
            m_problem = Run("mount", {"-o", "loop", "-t", "ext3", image, m_path});
        m_mounted = m_problem.isEmpty();
    }
    ~TExt3Volume()
    {
        if (m_mounted)
            Run("umount", {m_path});
    }
    // Empty when the volume is mounted, else why not.
    const QString& Problem() const { return m_problem; }
    QString file(const QString& name) const { return m_path + "/" + name; }

    // Fills the volume up to its last block.
    void Fill() const
    {
        QFile filler(file("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (const int block : {65536, 1024})
            while (filler.write(QByteArray(block, 'f')) == block) {
            }
    }

private:
    static QString Run(const QString& program, const QStringList& arguments)
    {
        QString path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            path = QStandardPaths::findExecutable(program, {"/usr/sbin", "/sbin"});
        if (path.isEmpty())
            return program + " is missing";
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(path, arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return program + ": " + QString::fromLocal8Bit(process.readAll());
        return {};
    }

    QString m_path;
    QString m_problem;
    bool m_mounted = false;
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
    EXPECT_EQ(KeptCopies(), QStringList());
}

TEST(FileWriterTest, AFileSizeLimitFailsTheWriteNotTheProgram)
{
    TTempDir dir;
    const QString file = dir.write("photo.jpg", "old");
    {
        TFileSizeLimit limit(64);
        EXPECT_FALSE(WriteFileAtomically(file, Content(QByteArray(1000, 'x'))));
    }
    EXPECT_EQ(ReadAll(file), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"photo.jpg"});
}

TEST(FileWriterTest, WritingInPlaceKeepsACopyOfTheOldContentUntilTheNewIsOnDisk)
{
    TTempDir dir;
    const QByteArray old(50000, 'o');
    const QString file = dir.write("photo.jpg", old);
    const QByteArray shorter(30000, 'n');
    {
        // The disk fails half-way, then works again: the old content is put
        // back and its copy goes.
        TFailingDisk writer;
        writer.Allowed = 1000;
        writer.Recovers = true;
        EXPECT_FALSE(writer.Write(file, Content(shorter)));
        EXPECT_EQ(writer.CopiesAtFirstWrite, QByteArrayList{old});
        EXPECT_EQ(ReadAll(file), old);
        EXPECT_EQ(writer.Detail(), QString());
        EXPECT_EQ(KeptCopies(), QStringList());
    }
    {
        // It stays broken: the copy stays too, and the writer says where.
        TFailingDisk writer;
        writer.Allowed = 1000;
        EXPECT_FALSE(writer.Write(file, Content(shorter)));
        const QStringList copies = KeptCopies();
        ASSERT_EQ(copies.size(), 1);
        EXPECT_EQ(QFileInfo(copies[0]).fileName(), "photo.jpg");
        EXPECT_EQ(ReadAll(copies[0]), old);
        EXPECT_TRUE(writer.Detail().contains(copies[0])) << writer.Detail().toStdString();
    }
    QDir(TKeptCopy::Folder()).removeRecursively();
}

TEST(FileWriterTest, ANearlyFullVolumeWithoutFallocateKeepsEveryFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a volume takes root";
    TTempDir dir;
    const TExt3Volume volume(dir.path());
    if (!volume.Problem().isEmpty())
        GTEST_SKIP() << "no ext3 volume: " << volume.Problem().toStdString();
    const QByteArray old(100000, 'o');
    const QByteArray larger(150000, 'n');
    // Two names of one photo, and a photo written in place.
    const QString photo = volume.file("photo.jpg");
    const QString link = volume.file("link.jpg");
    const QString inPlace = volume.file("in-place.jpg");
    ASSERT_TRUE(WriteFileAtomically(photo, Content(old)));
    ASSERT_TRUE(WriteFileAtomically(inPlace, Content(old)));
    ASSERT_EQ(::link(QFile::encodeName(photo).constData(), QFile::encodeName(link).constData()), 0);
    volume.Fill();
    TNoTemporaryFile writer;

    EXPECT_FALSE(WriteFileAtomically(photo, Content(larger)));
    EXPECT_FALSE(writer.Write(inPlace, Content(larger)));
    EXPECT_EQ(ReadAll(photo), old);
    EXPECT_EQ(ReadAll(link), old);
    EXPECT_EQ(ReadAll(inPlace), old);
    // Less needs no more room.
    EXPECT_TRUE(writer.Write(inPlace, Content(old.left(50000))));
    EXPECT_EQ(ReadAll(inPlace), old.left(50000));

    ASSERT_TRUE(QFile::remove(volume.file("filler")));
    const ino_t inode = StatOf(inPlace).st_ino;
    EXPECT_TRUE(writer.Write(inPlace, Content(larger)));
    EXPECT_EQ(ReadAll(inPlace), larger);
    EXPECT_EQ(StatOf(inPlace).st_ino, inode);
    EXPECT_EQ(KeptCopies(), QStringList());
}

TEST(FileWriterTest, ReplacesHardLinkedFilesAndKeepsTheOwner)
{
    TTempDir dir;
    const QString file = dir.write("photo.jpg", "old");
    ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                     QFile::encodeName(dir.file("copy.jpg")).constData()),
              0);
    // The other names keep the old content.
    ASSERT_TRUE(WriteFileAtomically(file, Content("new")));
    EXPECT_EQ(ReadAll(file), "new");
    EXPECT_EQ(ReadAll(dir.file("copy.jpg")), "old");

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
