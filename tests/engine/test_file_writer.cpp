// Writing whole files: the file the name opens, by rename where the new file
// can be the old one in all but content, in place elsewhere, with a copy of
// the old content kept meanwhile; a failed write leaves the old file as it
// was.

#include "FileWriter.h"
#include "KeptCopy.h"
#include "MyGdiPlus.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// An ordinary user's id, for the checks that root would pass anyway, and
// another user's, who is no member of the first one's group.
constexpr uid_t kOrdinaryId = 65534;
constexpr uid_t kOtherId = 65533;

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

int Symlink(const char* text, const QString& at)
{
    return ::symlink(text, QFile::encodeName(at).constData());
}

// An extended attribute's value; "none" when the file has none of the name.
QByteArray Attribute(const QString& file, const char* name)
{
    char value[256];
    const ssize_t n = ::getxattr(QFile::encodeName(file).constData(), name, value, sizeof value);
    return n < 0 ? QByteArray("none") : QByteArray(value, n);
}

// A writer whose folder never takes a temporary file.
class TNoTemporaryFile : public TFileWriter
{
protected:
    TReplaceResult ReplaceByRename(const QByteArray&, const QByteArray&) override
    {
        return TReplaceResult::InPlace;
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

// Lets other users pass through the process's own temporary folder and the
// one above it (both ours) to folders of their own inside.
void LetOthersThroughTheTemporaryFolder()
{
    const QString ownTemp = QDir::tempPath();
    for (const QString& folder : {QFileInfo(ownTemp).absolutePath(), ownTemp})
        QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther);
}

// Runs Save in a child process as the ordinary user, with its temporary
// and cache folders in Folder, which that user may write; the child's exit
// code, 125 when it could not become that user.
int RunAsOrdinaryUser(const QString& folder, const std::function<int()>& save)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const QByteArray path = QFile::encodeName(folder);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryId) != 0 ||
            ::setuid(kOrdinaryId) != 0 || ::access(path.constData(), W_OK | X_OK) != 0 ||
            ::setenv("TMPDIR", path.constData(), 1) != 0 ||
            ::setenv("XDG_CACHE_HOME", (path + "/cache").constData(), 1) != 0)
            ::_exit(125);
        ::_exit(save());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

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

TEST(FileWriterTest, AHardLinkedFileIsWrittenInPlaceAndEveryNameShowsTheNewContent)
{
    TTempDir dir;
    const QString file = dir.write("photo.jpg", "old");
    const QString other = dir.file("copy.jpg");
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 02640), 0);
    const ino_t inode = StatOf(file).st_ino;
    ASSERT_TRUE(WriteFileAtomically(file, Content("new")));
    EXPECT_EQ(ReadAll(other), "new");
    EXPECT_EQ(StatOf(other).st_ino, inode);
    EXPECT_EQ(StatOf(other).st_mode & 07777, 02640u);
    EXPECT_EQ(KeptCopies(), QStringList());
}

TEST(FileWriterTest, ALinkIsFollowedFromTheFolderWhereItLies)
{
    // The file is real_dir/target.jpg, not the target.jpg beside viadir.
    TTempDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("real_dir/sub"));
    const QString unrelated = dir.write("target.jpg", "unrelated");
    ASSERT_EQ(Symlink("real_dir/sub", dir.file("viadir")), 0);
    ASSERT_EQ(Symlink("../target.jpg", dir.file("real_dir/sub/l.jpg")), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.file("viadir/l.jpg"), Content("new")));
    EXPECT_EQ(ReadAll(dir.file("real_dir/target.jpg")), "new");
    EXPECT_EQ(ReadAll(unrelated), "unrelated");
}

TEST(FileWriterTest, AChainOfLinksLeadsToItsLastFile)
{
    // The last link leads to no file at first: the save makes it.
    TTempDir dir;
    const QString last = dir.file("c.jpg");
    ASSERT_EQ(Symlink(QFile::encodeName(last).constData(), dir.file("b.jpg")), 0);
    ASSERT_EQ(Symlink("b.jpg", dir.file("a.jpg")), 0);
    for (const QByteArray content : {"made", "new"}) {
        ASSERT_TRUE(WriteFileAtomically(dir.file("a.jpg"), Content(content)));
        EXPECT_EQ(ReadAll(last), content);
    }
    EXPECT_TRUE(QFileInfo(dir.file("b.jpg")).isSymLink());
    // Links that go round reach no file.
    ASSERT_EQ(Symlink("y.jpg", dir.file("x.jpg")), 0);
    ASSERT_EQ(Symlink("x.jpg", dir.file("y.jpg")), 0);
    EXPECT_FALSE(WriteFileAtomically(dir.file("x.jpg"), Content("new")));
}

TEST(FileWriterTest, AttributesAccessListsAndPermissionsStayWithTheFile)
{
    TTempDir dir;
    const QString file = dir.write("photo.jpg", "old");
    const QByteArray path = QFile::encodeName(file);
    if (::setxattr(path.constData(), "user.xdg.tags", "holiday", 7, 0) != 0)
        GTEST_SKIP() << "the temporary folder keeps no user attributes";
    // Entries (tag, permissions, id): the owner rw-, nobody rw-, the owning
    // group r--, group 1 r--, the mask rw-, others ---.
    const QByteArray acl = QByteArray::fromHex("02000000"
                                               "01000600ffffffff02000600feff0000"
                                               "04000400ffffffff0800040001000000"
                                               "10000600ffffffff20000000ffffffff");
    if (::setxattr(path.constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()),
                   0) != 0)
        GTEST_SKIP() << "the temporary folder keeps no access lists";
    ASSERT_TRUE(WriteFileAtomically(file, Content("new")));
    EXPECT_EQ(ReadAll(file), "new");
    EXPECT_EQ(Attribute(file, "user.xdg.tags"), "holiday");
    EXPECT_EQ(Attribute(file, "system.posix_acl_access"), acl);
    // The group's permissions in the mode are the mask's.
    EXPECT_EQ(StatOf(file).st_mode & 07777, 0660u);

    // A folder that gives new files an access list: a file without one
    // stays without.
    const QString plain = dir.write("plain.jpg", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(plain).constData(), 0600), 0);
    ASSERT_EQ(::setxattr(QFile::encodeName(dir.path()).constData(), "system.posix_acl_default",
                         acl.constData(), size_t(acl.size()), 0),
              0);
    ASSERT_TRUE(WriteFileAtomically(plain, Content("new")));
    EXPECT_EQ(Attribute(plain, "system.posix_acl_access"), "none");
    EXPECT_EQ(StatOf(plain).st_mode & 07777, 0600u);
}

TEST(FileWriterTest, AFileKeepsItsOwnerAndGroupWhoeverSavesIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of other users take root to make";
    LetOthersThroughTheTemporaryFolder();
    TTempDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const auto make = [&dir](const char* name, uid_t owner, gid_t group, mode_t mode) {
        const QString file = dir.write(name, "old");
        EXPECT_EQ(::chown(QFile::encodeName(file).constData(), owner, group), 0);
        EXPECT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0);
        return file;
    };
    // Another user's file open to all; the saver's own file in a group the
    // saver is not in; a file the saver may only read.
    const QString theirs = make("theirs.jpg", kOtherId, kOtherId, 0666);
    const QString grouped = make("grouped.jpg", kOrdinaryId, kOtherId, 0660);
    const QString closed = make("closed.jpg", kOtherId, kOtherId, 0644);
    const int failures = RunAsOrdinaryUser(dir.path(), [&] {
        return (WriteFileAtomically(theirs, Content("new")) ? 0 : 1) |
               (WriteFileAtomically(grouped, Content("new")) ? 0 : 2) |
               (WriteFileAtomically(closed, Content("new")) ? 4 : 0);
    });
    if (failures == 125)
        GTEST_SKIP() << "cannot become an ordinary user";
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(ReadAll(theirs) + ReadAll(grouped) + ReadAll(closed), "newnewold");
    EXPECT_EQ(StatOf(theirs).st_uid, kOtherId);
    EXPECT_EQ(StatOf(theirs).st_mode & 07777, 0666u);
    EXPECT_EQ(StatOf(grouped).st_gid, kOtherId);

    // Root gives the new file its owner back.
    ASSERT_TRUE(WriteFileAtomically(theirs, Content("newer")));
    EXPECT_EQ(StatOf(theirs).st_uid, kOtherId);
}

TEST(FileWriterTest, AKillWhileTheOldContentIsCopiedLeavesTheFileAndAPartialCopy)
{
    TTempDir dir;
    const QByteArray old(200000, 'o');
    const QString file = dir.file("photo.jpg");
    ASSERT_TRUE(WriteFileAtomically(file, Content(old)));
    const pid_t child = ::fork();
    if (child == 0) {
        // The file size limit ends the process half-way through the copy.
        ::signal(SIGXFSZ, SIG_DFL);
        const TFileSizeLimit limit(rlim_t(old.size() / 2));
        TNoTemporaryFile().Write(file, Content("new"));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    EXPECT_EQ(ReadAll(file), old);
    const QStringList copies = KeptCopies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(QFileInfo(copies[0]).fileName(), "photo.jpg.partial");
    QDir(TKeptCopy::Folder()).removeRecursively();
}

TEST(FileWriterTest, SavesOverAWritableFileInAReadOnlyFolder)
{
    if (::geteuid() != 0) {
        CheckReadOnlyFolder();
        return;
    }
    // Root writes into any folder: the check runs again as an ordinary user.
    LetOthersThroughTheTemporaryFolder();
    TTempDir tmp;
    ASSERT_EQ(::chmod(QFile::encodeName(tmp.path()).constData(), 01777), 0);
    const int failed = RunAsOrdinaryUser(tmp.path(), [] {
        CheckReadOnlyFolder();
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    if (failed == 125)
        GTEST_SKIP() << "an ordinary user cannot reach a temporary folder";
    EXPECT_EQ(failed, 0);
}
