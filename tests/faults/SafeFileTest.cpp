// Replacing a file safely: a flush that fails is a failed save, the file keeps what it was to its
// owner and group, only whom may write a file replaces it, a folder that forbids the new file is
// written through the file itself, long names and links are handled, and only regular files are read.
// A file made piece by piece by a writer arrives whole, or the old file stays.
#include "document/SafeFile.h"
#include "FaultSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <new>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {
// When set, every fdatasync of this process fails as on a full thin-provisioned disk.
bool g_failFlush = false;
} // namespace

// Takes the place of the C library's function for the whole test program.
extern "C" int fdatasync(int fd)
{
    if (g_failFlush) {
        errno = ENOSPC;
        return -1;
    }
    return int(syscall(SYS_fdatasync, fd));
}

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

struct stat statOf(const QString &path)
{
    struct stat st {};
    lstat(encoded(path).constData(), &st);
    return st;
}

// A writer of `size` bytes of a pattern, in pieces of `piece` bytes through room (or put); it throws
// std::bad_alloc once `throwAt` bytes are written, and leaves its sink unfinished when asked.
struct PatternWriter {
    std::size_t size = 0;
    std::size_t piece = 1;
    bool viaPut = false;
    std::size_t throwAt = std::size_t(-1);
    bool finish = true;

    QByteArray bytes() const
    {
        QByteArray out(qsizetype(size), Qt::Uninitialized);
        for (std::size_t i = 0; i < size; ++i)
            out[qsizetype(i)] = char('a' + i * 7 % 26);
        return out;
    }
    void operator()(ByteSink &sink) const
    {
        const QByteArray all = bytes();
        char *p = sink.start();
        for (std::size_t at = 0; at < size; at += piece) {
            if (at >= throwAt)
                throw std::bad_alloc();
            const std::string_view part(all.constData() + at, std::min(piece, size - at));
            if (viaPut) {
                p = sink.put(p, part);
            } else {
                p = sink.room(p, part.size());
                std::memcpy(p, part.data(), part.size());
                p += part.size();
            }
        }
        if (finish)
            sink.finish(p);
    }
};

constexpr std::size_t kMiB = std::size_t(1) << 20;

struct SafeFile : ::testing::Test {
    QTemporaryDir dir;
    const QByteArray previous = "vorher\r\n";
    const QByteArray next = "nachher\r\n";

    QString path(const QString &name) const { return dir.filePath(name); }
    // The files in the folder: no temporary file may be left behind.
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    // Writes `file`, a file of root's in the group 5678 with `mode`, and saves it again as user 65534
    // in a child process that belongs to `groups` (and sets `mask`, when given). Whether the save
    // succeeded; nothing when the child cannot take the rights of user 65534.
    std::optional<bool> saveAsNobody(const QString &file, mode_t mode, const std::vector<gid_t> &groups,
                                     std::optional<mode_t> mask = std::nullopt)
    {
        testsupport::writeFile(file, previous);
        const QByteArray name = encoded(file);
        EXPECT_EQ(chown(name.constData(), 0, 5678), 0);
        EXPECT_EQ(chmod(name.constData(), mode), 0);
        EXPECT_EQ(chmod(encoded(dir.path()).constData(), 0777), 0);
        const pid_t child = fork();
        if (child == 0) {
            if (mask)
                umask(*mask);
            if (setgroups(groups.size(), groups.data()) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                _exit(3);
            _exit(safefile::writeAll(file, next) ? 0 : 1);
        }
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
            return std::nullopt;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

TEST_F(SafeFile, aFlushThatFailsIsAFailedSaveAndKeepsTheOldFile)
{
    const QString file = path(QStringLiteral("liste.mal"));
    testsupport::writeFile(file, previous);
    g_failFlush = true;
    const FileResult<void> saved = safefile::writeAll(file, next);
    g_failFlush = false;
    EXPECT_EQ(saved.error().code, ENOSPC);
    EXPECT_EQ(testsupport::readFile(file), previous);
    EXPECT_EQ(files(), QStringList{QStringLiteral("liste.mal")});
}

TEST_F(SafeFile, keepsOwnerGroupModeAndSetgid)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    const QString file = path(QStringLiteral("geteilt.mal"));
    testsupport::writeFile(file, previous);
    const QByteArray name = encoded(file);
    ASSERT_EQ(chown(name.constData(), 1234, 5678), 0);
    ASSERT_EQ(chmod(name.constData(), 02660), 0);
    ASSERT_TRUE(safefile::writeAll(file, next));
    const struct stat st = statOf(file);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
    EXPECT_EQ(st.st_mode & 07777, 02660u);
    EXPECT_EQ(testsupport::readFile(file), next);
}

TEST_F(SafeFile, whereTheOwnerCannotBeKeptGroupAndModeAre)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to set up a user who shares the file's group";
    // A file of root's in the group 5678, mode 0660, saved by user 65534, a member of that group.
    const QString file = path(QStringLiteral("gruppe.mal"));
    const std::optional<bool> saved = saveAsNobody(file, 0660, {5678});
    if (!saved)
        GTEST_SKIP() << "cannot take the rights of user 65534 here";
    ASSERT_TRUE(*saved) << "the save failed";
    const struct stat st = statOf(file);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 5678u) << "the group can go on reading and writing it";
    EXPECT_EQ(st.st_mode & 07777, 0660u);
    EXPECT_EQ(testsupport::readFile(file), next);
}

// Saves by user 65534 (group 65534) over files of different owners and modes in folders of
// different rights.
enum class Owner { Self, Other, GroupMate };
enum class Folder { Own, Shut, Sticky }; // 65534's 0755; root's 0755; root's, group 65534, 1770
enum class Result { Replaced, InPlace, Refused };
enum class Midway { Nothing, FullDisk, OutOfMemory }; // what stops a writer of 3 MiB after 1 MiB

struct RightsRow {
    const char *name;
    Owner owner;
    mode_t mode;
    Folder folder;
    Result result;
    bool failFlush = false;
    Midway midway = Midway::Nothing;
};

const RightsRow kRightsRows[] = {
    {"ownFile", Owner::Self, 0644, Folder::Own, Result::Replaced},
    {"ownReadOnlyFile", Owner::Self, 0444, Folder::Own, Result::Refused},
    {"othersFile0644", Owner::Other, 0644, Folder::Own, Result::Refused},
    {"othersFile0600", Owner::Other, 0600, Folder::Own, Result::Refused},
    {"sharedFileInShutFolder", Owner::Other, 0666, Folder::Shut, Result::InPlace},
    {"groupFileInStickyFolder", Owner::GroupMate, 0660, Folder::Sticky, Result::InPlace},
    {"ownFileInShutFolder", Owner::Self, 0644, Folder::Shut, Result::InPlace},
    {"othersFileInShutFolder", Owner::Other, 0644, Folder::Shut, Result::Refused},
    {"writeOnlyFileInShutFolder", Owner::Other, 0222, Folder::Shut, Result::Refused},
    {"inPlaceFlushFails", Owner::Other, 0666, Folder::Shut, Result::Refused, true},
    {"inPlaceDiskFullMidway", Owner::Other, 0666, Folder::Shut, Result::Refused, false, Midway::FullDisk},
    {"inPlaceOutOfMemoryMidway", Owner::Other, 0666, Folder::Shut, Result::Refused, false, Midway::OutOfMemory},
};

struct Rights : SafeFile, ::testing::WithParamInterface<RightsRow> {};

TEST_P(Rights, decideBetweenReplacingWritingInPlaceAndRefusing)
{
    const RightsRow &row = GetParam();
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give files and folders to other users";
    if (!faults::unprivilegedAvailable())
        GTEST_SKIP() << faults::kNoUnprivilegedChild;
    faults::openToAll(dir.path());
    const QString folder = path(QStringLiteral("ordner"));
    const QString file = folder + QStringLiteral("/liste.mal");
    const QString link = path(QStringLiteral("zweiter-name.mal")); // a hard link outside the folder
    ASSERT_TRUE(QDir().mkdir(folder));
    testsupport::writeFile(file, previous);
    ASSERT_EQ(::link(encoded(file).constData(), encoded(link).constData()), 0);
    const uid_t fileUid = row.owner == Owner::Self ? 65534 : 4321;
    const gid_t fileGid = row.owner == Owner::Other ? 4322 : 65534;
    ASSERT_EQ(chown(encoded(file).constData(), fileUid, fileGid), 0);
    ASSERT_EQ(chmod(encoded(file).constData(), row.mode), 0);
    ASSERT_EQ(chown(encoded(folder).constData(), row.folder == Folder::Own ? 65534 : 0,
                    row.folder == Folder::Sticky ? 65534 : 0),
              0);
    ASSERT_EQ(chmod(encoded(folder).constData(), row.folder == Folder::Sticky ? 01770 : 0755), 0);
    const struct stat before = statOf(file);

    const std::optional<QByteArray> saved = faults::unprivileged([&] {
        g_failFlush = row.failFlush;
        if (row.midway == Midway::Nothing)
            return QByteArray(safefile::writeAll(file, next) ? "1" : "0");
        PatternWriter writer{3 * kMiB, 1000};
        std::optional<faults::FullDisk> disk;
        if (row.midway == Midway::FullDisk)
            disk.emplace(kMiB);
        else
            writer.throwAt = kMiB;
        try {
            return QByteArray(safefile::writeAll(file, writer) ? "1" : "0");
        } catch (const std::bad_alloc &) {
            return QByteArray("0");
        }
    });
    ASSERT_TRUE(saved) << "the unprivileged child failed";
    const struct stat after = statOf(file);
    EXPECT_EQ(*saved, row.result == Result::Refused ? "0" : "1");
    EXPECT_EQ(testsupport::readFile(file), row.result == Result::Refused ? previous : next);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("liste.mal")})
        << "no temporary file is left";
    if (row.result != Result::Replaced) {
        EXPECT_EQ(after.st_ino, before.st_ino) << "the file itself was written, not replaced";
        EXPECT_EQ(after.st_nlink, 2u) << "the links stay";
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, Rights, ::testing::ValuesIn(kRightsRows),
                         [](const auto &info) { return std::string(info.param.name); });


TEST_F(SafeFile, whereNeitherOwnerNorGroupCanBeKeptTheNewGroupGetsNoMoreThanTheUmaskAllows)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to save as a user outside the file's group";
    // A file of root's in the group 5678, mode 0666, saved by user 65534, who is not in that group.
    const QString file = path(QStringLiteral("fremd.mal"));
    const std::optional<bool> saved = saveAsNobody(file, 0666, {}, 022);
    if (!saved)
        GTEST_SKIP() << "cannot take the rights of user 65534 here";
    ASSERT_TRUE(*saved) << "the save failed";
    const struct stat st = statOf(file);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0646u) << "the writer's group does not get write access";
    EXPECT_EQ(testsupport::readFile(file), next);
}

TEST_F(SafeFile, aNameAsLongAsTheFolderAllowsCanBeSavedAgainAndAgain)
{
    for (int length : {200, 249, 255}) {
        const QString file = path(QString(length - 4, u'a') + QStringLiteral(".mal"));
        EXPECT_TRUE(safefile::writeAll(file, previous)) << length;
        EXPECT_TRUE(safefile::writeAll(file, next)) << length;
        EXPECT_EQ(testsupport::readFile(file), next);
        QFile::remove(file);
    }
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(SafeFile, aSymlinkStaysALinkAndItsTargetIsReplacedALoopFails)
{
    const QString target = path(QStringLiteral("ziel.mal"));
    const QString link = path(QStringLiteral("verweis.mal"));
    testsupport::writeFile(target, previous);
    ASSERT_EQ(symlink("ziel.mal", encoded(link).constData()), 0);
    ASSERT_TRUE(safefile::writeAll(link, next));
    EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
    EXPECT_EQ(testsupport::readFile(target), next);

    const QString loop = path(QStringLiteral("schleife.mal"));
    ASSERT_EQ(symlink("schleife.mal", encoded(loop).constData()), 0);
    EXPECT_EQ(safefile::writeAll(loop, next).error().code, ELOOP);
    EXPECT_TRUE(S_ISLNK(statOf(loop).st_mode)) << "the loop is left as it was";
    EXPECT_EQ(files().size(), 3);
}

TEST_F(SafeFile, aWritersPiecesArriveWholeAcrossTheBuffersBounds)
{
    const struct {
        const char *name;
        PatternWriter writer;
    } rows[] = {
        {"nothing", {0, 1}},
        {"smallPiecesAcrossSeveralBuffers", {3 * kMiB + 17, 1000}},
        {"onePieceLargerThanTheBuffer", {2 * kMiB + 5, 2 * kMiB + 5}},
        {"smallAndLargePuts", {3 * kMiB, kMiB / 3 + 1, true}},
        {"onePutLargerThanTheBuffer", {3 * kMiB, 3 * kMiB, true}},
    };
    const QString file = path(QStringLiteral("liste.mal"));
    for (const auto &row : rows) {
        testsupport::writeFile(file, previous);
        FileStamp written;
        ASSERT_TRUE(safefile::writeAll(file, row.writer, &written)) << row.name;
        EXPECT_EQ(testsupport::readFile(file), row.writer.bytes()) << row.name;
        EXPECT_EQ(written, FileStamp::of(file)) << row.name;
        EXPECT_EQ(files(), QStringList{QStringLiteral("liste.mal")}) << row.name;
    }
}

TEST_F(SafeFile, aWriterStoppedMidwayLeavesTheOldFileAndNoTrace)
{
    const QString file = path(QStringLiteral("liste.mal"));
    testsupport::writeFile(file, previous);
    {
        faults::FullDisk disk(kMiB + 5);
        EXPECT_EQ(safefile::writeAll(file, PatternWriter{3 * kMiB, 1000}).error().code, EFBIG)
            << "the disk is full after 1 MiB";
    }
    EXPECT_THROW((void)safefile::writeAll(file, PatternWriter{3 * kMiB, 1000, false, 2 * kMiB}), std::bad_alloc);
    PatternWriter unfinished{100, 10};
    unfinished.finish = false;
    EXPECT_EQ(safefile::writeAll(file, unfinished).error().code, EIO) << "a writer that never says where its bytes end";
    EXPECT_EQ(testsupport::readFile(file), previous);
    EXPECT_EQ(files(), QStringList{QStringLiteral("liste.mal")});
}

TEST(SafeFileNames, aTemporaryNameIsHiddenAndCarriesTheTagAndSixLettersOrDigits)
{
    const struct {
        const char *name;
        bool temporary;
    } rows[] = {
        {".liste.mal.mltmp-k3x9a0", true},
        {".0123456789abcdef.mltmp-zzzzzz", true}, // the hashed form of a long name
        {"liste.mal.mltmp-k3x9a0", false},       // not hidden
        {"..mltmp-k3x9a0", false},               // no name before the tag
        {".liste.mal.mltmp-K3X9A0", false},      // upper case: another program's
        {".liste.mal.mltmp-k3x9a", false},
        {".liste.mal.mltmp-k3x9a0b", false},
        {".liste.mal.k3x9a0", false},            // the form of other programs
        {".liste.mal.mltmp-k3x9a0.swp", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(safefile::isTemporaryName(row.name), row.temporary) << row.name;
}

TEST_F(SafeFile, aSaveRemovesTheTemporaryFilesLeftByKilledSavesButNoneThatARunningSaveHolds)
{
    const QString file = path(QStringLiteral("liste.mal"));
    const QString stray = path(QStringLiteral(".alt.mal.mltmp-abc123"));
    const QString held = path(QStringLiteral(".offen.mal.mltmp-def456"));
    const QString others = path(QStringLiteral(".fremd.mal.mltmp-ghi789"));
    for (const QString &name : {stray, held, others})
        testsupport::writeFile(name, PatternWriter{1000, 1000}.bytes());
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral(".ordner.mltmp-jkl012"))));
    ASSERT_EQ(symlink(encoded(held).constData(), encoded(path(QStringLiteral(".link.mltmp-mno345"))).constData()), 0);
    const int heldFd = open(encoded(held).constData(), O_RDONLY);
    ASSERT_EQ(flock(heldFd, LOCK_EX), 0); // another program's save that runs
    if (geteuid() == 0)
        ASSERT_EQ(chown(encoded(others).constData(), 4321, 4321), 0);
    else
        QFile::remove(others);

    // A second save into the folder while the first one writes: the first one's temporary file stays.
    const QString second = path(QStringLiteral("zweite.mal"));
    const auto writer = [&](ByteSink &out) {
        EXPECT_TRUE(safefile::writeAll(second, next));
        out.finish(out.put(out.start(), std::string_view(next.constData(), std::size_t(next.size()))));
    };
    ASSERT_TRUE(safefile::writeAll(file, safefile::Writer(writer)));
    close(heldFd);
    EXPECT_EQ(testsupport::readFile(file), next);
    QStringList left = files();
    left.sort();
    QStringList expected{QStringLiteral(".link.mltmp-mno345"), QStringLiteral(".offen.mal.mltmp-def456"),
                         QStringLiteral("liste.mal"), QStringLiteral("zweite.mal")};
    if (geteuid() == 0)
        expected.prepend(QStringLiteral(".fremd.mal.mltmp-ghi789"));
    EXPECT_EQ(left, expected);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral(".ordner.mltmp-jkl012"))).isDir());
}

TEST_F(SafeFile, readsOnlyRegularFilesAndStampsTheOpenedFile)
{
    const QString fifo = path(QStringLiteral("fifo.mal"));
    ASSERT_EQ(mkfifo(encoded(fifo).constData(), 0644), 0);
    EXPECT_EQ(safefile::readAll(fifo).error().code, EINVAL) << "a FIFO without a writer neither blocks nor reads";
    EXPECT_EQ(safefile::readAll(QStringLiteral("/dev/zero")).error().code, EINVAL);
    EXPECT_EQ(safefile::readAll(dir.path()).error().code, EISDIR);
    EXPECT_EQ(safefile::readAll(path(QStringLiteral("fehlt.mal"))).error().code, ENOENT);

    const QString file = path(QStringLiteral("liste.mal"));
    testsupport::writeFile(file, previous);
    FileStamp stamp;
    EXPECT_EQ(*safefile::readAll(file, &stamp), previous);
    EXPECT_EQ(stamp, FileStamp::of(file));
    FileStamp written;
    ASSERT_TRUE(safefile::writeAll(file, next, &written));
    EXPECT_EQ(written, FileStamp::of(file)) << "the stamp of the file just written";
}

} // namespace
