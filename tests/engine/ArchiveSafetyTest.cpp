// Keeping archives safe: verbatim copies, atomic rewrites under crashes and
// full disks, read-only files, changes by others, concurrent writers and
// archives past 2 GiB.
#include "engine/CArchive.h"
#include "engine/CArchiveError.h"
#include "tests/engine/ArchiveFiles.h"
#include "tests/support/TempHome.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <random>
#include <sched.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;
using zrv::CArchive;
using zrv::test::Exists;
using zrv::test::FolderEntries;
using zrv::test::ReadBytes;
using zrv::test::RunInChild;
using zrv::test::WriteBytes;

// Whether a batch change failed as it should: with CArchiveError.
bool Refused(const std::function<void()>& change)
{
    try {
        change();
    } catch (const zrv::CArchiveError&) {
        return true;
    }
    return false;
}

class Safety : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = zrv::test::MakeTempDir("safe");
        m_path = m_folder + "/Proverbs";
    }

    std::string Temporary() const { return m_path + ".zrv.tmp"; }

    std::string m_folder;
    std::string m_path;
};

TEST_F(Safety, rewrite_copiesLongAndNulHoldingTextsVerbatim)
{
    const std::string header = "H\0idden"s;
    const std::string withNul = "before\0after\0\0end"s + std::string(9000, 'n');
    std::string last(300000, 'l');
    last[299999] = 'Z';
    WriteBytes(m_path, header + "\n%\nfirst\n%\n" + withNul + "\n%\n" + last);
    CArchive archive;
    archive.Load(m_path);
    EXPECT_EQ(archive.Header(), "H");
    EXPECT_EQ(archive.Item(2), "before");
    archive.Delete(1);
    EXPECT_EQ(ReadBytes(m_path), header + "\n%\n" + withNul + "\n%\n" + last);
    archive.SetItem(1, "short");
    EXPECT_EQ(ReadBytes(m_path), header + "\n%\nshort\n%\n" + last);
    EXPECT_EQ(archive.Item(2), last);
}

// Runs `writer` in a child killed at random moments, 12 times over; after each
// kill the archive must hold one of the two `whole` states.
void KillWhileWriting(const std::string& path, unsigned seed, void (*writer)(CArchive&),
                      const std::string& first, const std::string& second)
{
    std::mt19937 random(seed);
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CArchive archive;
            archive.Load(path);
            for (;;)
                writer(archive);
        }
        ::usleep(2000 + random() % 40000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string bytes = ReadBytes(path);
        ASSERT_TRUE(bytes == first || bytes == second)
            << "round " << round << ": " << bytes.size() << " bytes";
    }
}

const std::string kA(1 << 20, 'a');
const std::string kB((3 << 20) / 2, 'b');

TEST_F(Safety, killedDuringRewrites_leavesOldOrNewArchiveWhole)
{
    WriteBytes(m_path, "H\n%\n" + kA + "\n%\ntail");
    KillWhileWriting(
        m_path, 7, [](CArchive& archive) { archive.SetItem(1, archive.Item(1) == kA ? kB : kA); },
        "H\n%\n" + kA + "\n%\ntail", "H\n%\n" + kB + "\n%\ntail");
    // Whatever temporary file the last kill left is never carried over.
    CArchive archive;
    archive.Load(m_path);
    const std::string first = archive.Item(1);
    archive.SetItem(2, "end");
    EXPECT_EQ(ReadBytes(m_path), "H\n%\n" + first + "\n%\nend");
    EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"Proverbs"});
}

TEST_F(Safety, killedDuringBatchChanges_leavesOldOrNewArchiveWhole)
{
    const std::string before = "H\n%\n" + kA + "\n%\nz";
    const std::string added = kB.substr(0, 1 << 19);
    WriteBytes(m_path, before);
    KillWhileWriting(
        m_path, 11,
        [](CArchive& archive) {
            if (archive.Count() == 2)
                archive.AddMany({kB.substr(0, 1 << 19), kB.substr(0, 1 << 19), "c"});
            else
                archive.DeleteMany({5, 3, 4, 3});
        },
        before, before + "\n%\n" + added + "\n%\n" + added + "\n%\nc");
}

// Insertions and the deletions that take them out again, killed at random.
TEST_F(Safety, killedDuringInsertions_leavesOldOrNewArchiveWhole)
{
    const std::string before = "H\n%\n" + kA + "\n%\nz";
    const std::string inserted = kB.substr(0, 1 << 19);
    WriteBytes(m_path, before);
    KillWhileWriting(
        m_path, 13,
        [](CArchive& archive) {
            if (archive.Count() == 2)
                archive.InsertMany({1, 3}, {kB.substr(0, 1 << 19), "c"});
            else
                archive.DeleteMany({1, 3});
        },
        before, "H\n%\n" + inserted + "\n%\n" + kA + "\n%\nc\n%\nz");
}

TEST_F(Safety, staleTemporaryFile_isDiscardedNotCarriedOver)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo");
    WriteBytes(Temporary(), "stale\n%\nleft over\n%\nfrom a crash");
    CArchive archive;
    archive.Load(m_path);
    archive.Delete(1);
    EXPECT_EQ(ReadBytes(m_path), "H\n%\ntwo");
    EXPECT_FALSE(Exists(Temporary()));
}

TEST_F(Safety, writesFailingForLackOfSpace_leaveArchiveIntact)
{
    const std::string original = "H\n%\n" + std::string(10000, 'o') + "\n%\nsecond";
    WriteBytes(m_path, original);
    // The file size limit fails writes past 16 KiB with EFBIG, as a full disk would.
    const int status = RunInChild([this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16384, 16384};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        CArchive archive;
        archive.Load(m_path);
        archive.SetItem(2, std::string(8000, 'x'));
        archive.SetHeader(std::string(7000, 'h'));
        archive.Add(std::string(20000, 'y'));
        if (!Refused([&] {
                archive.AddMany({"z", std::string(20000, 'y')});
            }) ||
            !Refused([&] {
                archive.InsertMany({1, 3}, {"z", std::string(20000, 'y')});
            }))
            return 12;
        return archive.Count() == 2 && archive.Item(2) == "second" ? 0 : 11;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(m_path), original);
    EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"Proverbs"});
}

TEST_F(Safety, fullFileSystem_leavesArchiveIntact)
{
    constexpr int kCannotMount = 40;
    const std::string disk = m_folder + "/disk";
    std::filesystem::create_directory(disk);
    const std::string path = disk + "/Proverbs";
    // The small tmpfs exists only in the child's own mount namespace.
    const int status = RunInChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            return kCannotMount;
        const std::string original = "H\n%\n" + std::string(40000, 'o') + "\n%\nsecond";
        WriteBytes(path, original);
        CArchive archive;
        archive.Load(path);
        archive.SetItem(2, "changed");
        archive.Delete(2);
        archive.Add(std::string(30000, 'y'));
        if (!Refused([&] { archive.DeleteMany({2}); }) || !Refused([&] {
                archive.AddMany({"z", std::string(30000, 'y')});
            }) ||
            !Refused([&] {
                archive.InsertMany({1, 2}, {std::string(30000, 'y'), "z"});
            }) ||
            !Refused(
                [&] { archive.ReplaceItem(1, std::string(30000, 'y'), CArchive::AddMode::Exact); }))
            return 2;
        const bool intact = ReadBytes(path) == original && archive.Count() == 2 &&
                            FolderEntries(disk) == std::vector<std::string>{"Proverbs"};
        return intact ? 0 : 1;
    });
    if (status == kCannotMount)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    EXPECT_EQ(status, 0);
}

TEST_F(Safety, temporaryFileCannotBeCreated_leavesArchiveIntact)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo");
    std::filesystem::create_directory(Temporary());
    WriteBytes(Temporary() + "/occupied", "x");
    CArchive archive;
    archive.Load(m_path);
    archive.Delete(1);
    archive.SetHeader("new");
    EXPECT_EQ(ReadBytes(m_path), "H\n%\none\n%\ntwo");
    EXPECT_EQ(archive.Count(), 2);
    EXPECT_EQ(ReadBytes(Temporary() + "/occupied"), "x");
}

TEST_F(Safety, rewrite_keepsPermissionBits)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo");
    ::chmod(m_path.c_str(), 0640);
    CArchive archive;
    archive.Load(m_path);
    archive.Delete(1);
    struct stat status {};
    ASSERT_EQ(::stat(m_path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(Safety, rewriteThroughSymbolicLink_replacesTheFileNotTheLink)
{
    const std::string real = m_folder + "/real";
    WriteBytes(real, "H\n%\none\n%\ntwo");
    ASSERT_EQ(::symlink(real.c_str(), m_path.c_str()), 0);
    CArchive archive;
    archive.Load(m_path);
    archive.Delete(1);
    archive.Add("three");
    EXPECT_EQ(ReadBytes(real), "H\n%\ntwo\n%\nthree");
    struct stat status {};
    ASSERT_EQ(::lstat(m_path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}

// A folder an ordinary user can work in, removed at the end.
class SharedFolder final {
public:
    SharedFolder()
    {
        char pattern[] = "/tmp/zrvshared-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
        ::chmod(m_path.c_str(), 0777);
    }
    ~SharedFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    SharedFolder(const SharedFolder&) = delete;
    SharedFolder& operator=(const SharedFolder&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

constexpr uid_t kNobody = 65534;

int TryEveryChange(const std::string& path)
{
    CArchive archive;
    archive.Load(path);
    if (archive.Count() != 2)
        return 20;
    archive.SetItem(1, "changed");
    archive.Delete(2);
    archive.SetHeader("new header");
    archive.Add("more");
    if (!Refused([&] { archive.AddMany({"more"}); }) ||
        !Refused([&] { archive.DeleteMany({2}); }) ||
        !Refused([&] { archive.InsertMany({1}, {"more"}); }) ||
        !Refused([&] { archive.ReplaceItem(1, "more", CArchive::AddMode::Exact); }))
        return 22;
    return archive.Count() == 2 && archive.Item(1) == "one" ? 0 : 21;
}

TEST(ReadOnly, archiveTheUserMayNotWrite_staysUnchanged)
{
    const std::string original = "H\n%\none\n%\ntwo";
    const SharedFolder folder;
    const std::string path = folder.Path() + "/Proverbs";
    WriteBytes(path, original);
    ::chmod(path.c_str(), 0444);
    int status = 0;
    if (::geteuid() == 0) {
        // As an ordinary user in a folder open to all, where a rename could replace the file.
        status = RunInChild([&path] {
            if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                ::setresuid(kNobody, kNobody, kNobody) != 0)
                return 30;
            return TryEveryChange(path);
        });
        if (status == 30)
            GTEST_SKIP() << "cannot drop privileges to uid " << kNobody;
    } else {
        status = TryEveryChange(path);
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"Proverbs"});
}

TEST_F(Safety, changeWithinTheSameSecond_isNoticed)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo");
    CArchive archive;
    archive.Load(m_path);
    ASSERT_EQ(archive.Item(1), "one");
    struct stat before {};
    ASSERT_EQ(::stat(m_path.c_str(), &before), 0);
    WriteBytes(m_path, "H\n%\nONE\n%\ntwo");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, m_path.c_str(), times, 0), 0);
    EXPECT_EQ(archive.Item(1), "ONE");
}

TEST_F(Safety, rewriteFromStaleIndex_keepsAnotherWritersFortune)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo");
    CArchive mine;
    mine.Load(m_path);
    ASSERT_EQ(mine.Count(), 2);
    struct stat before {};
    ASSERT_EQ(::stat(m_path.c_str(), &before), 0);
    CArchive other;
    other.Load(m_path);
    other.Add("three");
    // Even with the modification time put back, the change is seen.
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, m_path.c_str(), times, 0);
    mine.SetHeader("New");
    EXPECT_EQ(ReadBytes(m_path), "New\n%\none\n%\ntwo\n%\nthree");
}

// Replaces the archive by another file right after Count, as another writer may.
class ReplacedAfterCount final : public CArchive {
public:
    explicit ReplacedAfterCount(std::string replacement, std::string path)
        : m_replacement(std::move(replacement)), m_path(std::move(path))
    {}
    int32_t Count() override
    {
        const int32_t count = CArchive::Count();
        if (!m_replacement.empty()) {
            WriteBytes(m_path + ".new", m_replacement);
            std::rename((m_path + ".new").c_str(), m_path.c_str());
            m_replacement.clear();
        }
        return count;
    }

private:
    std::string m_replacement;
    std::string m_path;
};

// The read finishes on the file Count looked at, with that file's offsets; the
// next call finds the replacement.
TEST_F(Safety, fileReplacedBetweenCountAndRead_isReadWithItsOwnOffsets)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo");
    ReplacedAfterCount archive("Longer header\n%\nuno\n%\ndos", m_path);
    archive.Load(m_path);
    EXPECT_EQ(archive.Item(2), "two");
    EXPECT_EQ(archive.Item(2), "dos");
    EXPECT_EQ(archive.Header(), "Longer header");
}

// Descriptors of this process on files below `folder` that are linked nowhere.
std::vector<std::string> UnlinkedFilesHeld(const std::string& folder)
{
    std::vector<std::string> held;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (!error && target.starts_with(folder) && target.ends_with(" (deleted)"))
            held.push_back(target);
    }
    return held;
}

void OverwriteAt(const std::string& path, off_t offset, const std::string& bytes)
{
    struct stat before {};
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_TRUE(fd >= 0 && ::fstat(fd, &before) == 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), offset), static_cast<ssize_t>(bytes.size()));
    // The size stays: only the times tell, whatever their granularity here.
    const timespec times[2] = {before.st_atim, {before.st_mtim.tv_sec + 1, 0}};
    ASSERT_EQ(::futimens(fd, times), 0);
    ::close(fd);
}

struct ChangeByOther {
    const char* name;
    void (*apply)(const std::string& path);
    int32_t count;     // expected after the change
    std::string third; // fortune 3 expected after the change
};

// Another program changes the archive between two reads, after a front-to-back
// walk has read ahead past fortune 3: the next call reads the file as it now is
// and keeps no descriptor of a file linked nowhere.
TEST_F(Safety, fileChangedBetweenReads_isReadAsItNowIs)
{
    std::string bytes = "H";
    for (int i = 1; i <= 40; ++i)
        bytes += "\n%\nf" + std::to_string(i);
    const ChangeByOther changes[] = {
        {"append",
         [](const std::string& path) {
             std::ofstream(path, std::ios::binary | std::ios::app) << "\n%\nf41";
         },
         41, "f3"},
        {"overwriteInPlace", [](const std::string& path) { OverwriteAt(path, 14, "F3"); }, 40,
         "F3"},
        {"truncate", [](const std::string& path) { ASSERT_EQ(::truncate(path.c_str(), 15), 0); }, 3,
         "f"},
        {"delete", [](const std::string& path) { ASSERT_EQ(::unlink(path.c_str()), 0); }, 0, ""},
        {"replaceByRename",
         [](const std::string& path) {
             WriteBytes(path + ".new", "N\n%\nn1\n%\nn2\n%\nn3");
             ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
         },
         3, "n3"},
    };
    for (const ChangeByOther& change : changes) {
        WriteBytes(m_path, bytes);
        CArchive archive;
        archive.Load(m_path);
        ASSERT_EQ(archive.Item(1), "f1");
        ASSERT_EQ(archive.Item(2), "f2");
        change.apply(m_path);
        EXPECT_EQ(archive.Name(), "Proverbs") << change.name;
        EXPECT_EQ(UnlinkedFilesHeld(m_folder), std::vector<std::string>{}) << change.name;
        EXPECT_EQ(archive.Item(3), change.third) << change.name;
        EXPECT_EQ(archive.Count(), change.count) << change.name;
    }
}

TEST_F(Safety, concurrentWriters_loseNothing)
{
    constexpr int kInitial = 40, kProcesses = 4, kSteps = 15;
    std::string bytes = "H";
    for (int i = 0; i < kInitial; ++i)
        bytes += "\n%\ninit-" + std::to_string(i);
    WriteBytes(m_path, bytes);

    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CArchive archive;
            archive.Load(m_path);
            for (int step = 0; step < kSteps; ++step) {
                if (step % 3 == 2)
                    archive.Delete(1);
                else
                    archive.Add("p" + std::to_string(p) + "-" + std::to_string(step));
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    // Every delete took the first fortune at its time: the oldest initial ones.
    constexpr int kDeletes = kProcesses * (kSteps / 3);
    CArchive archive;
    archive.Load(m_path);
    ASSERT_EQ(archive.Count(), kInitial - kDeletes + kProcesses * (kSteps - kSteps / 3));
    int index = 1;
    for (int i = kDeletes; i < kInitial; ++i)
        EXPECT_EQ(archive.Item(index++), "init-" + std::to_string(i));
    std::vector<std::vector<std::string>> added(kProcesses);
    for (; index <= archive.Count(); ++index) {
        const std::string text = archive.Item(index);
        ASSERT_EQ(text[0], 'p') << text;
        added.at(static_cast<size_t>(text[1] - '0')).push_back(text);
    }
    for (int p = 0; p < kProcesses; ++p) {
        std::vector<std::string> expected;
        for (int step = 0; step < kSteps; ++step)
            if (step % 3 != 2)
                expected.push_back("p" + std::to_string(p) + "-" + std::to_string(step));
        EXPECT_EQ(added[static_cast<size_t>(p)], expected) << "process " << p;
    }
}

TEST_F(Safety, archiveBeyondTwoGiB_readsFortunesPastTheLimit)
{
    {
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string first = "H\n%\nfirst";
        const std::string second = "\n%\nsecond";
        const off_t end = (off_t{1} << 31) + 4096;
        const bool written =
            ::pwrite(fd, first.data(), first.size(), 0) == static_cast<ssize_t>(first.size()) &&
            ::pwrite(fd, second.data(), second.size(), end) == static_cast<ssize_t>(second.size());
        ::close(fd);
        if (!written)
            GTEST_SKIP() << "cannot write a sparse file past 2 GiB here";
    }
    CArchive archive;
    archive.Load(m_path);
    ASSERT_EQ(archive.Count(), 2);
    EXPECT_EQ(archive.Item(1), "first");
    EXPECT_EQ(archive.Item(2), "second");
    std::remove(m_path.c_str());
}

TEST_F(Safety, faultHook_makesOperationsThrow)
{
    WriteBytes(m_path, "H\n%\none");
    CArchive archive;
    archive.Load(m_path);
    CArchive::SetFaultHook([](const char* operation) { throw std::runtime_error(operation); });
    EXPECT_THROW(archive.Count(), std::runtime_error);
    EXPECT_THROW(archive.SetItem(1, "x"), std::runtime_error);
    EXPECT_THROW(archive.InsertMany({1}, {"x"}), std::runtime_error);
    EXPECT_THROW(archive.ReplaceItem(1, "x", CArchive::AddMode::Exact), std::runtime_error);
    CArchive::SetFaultHook(nullptr);
    EXPECT_EQ(archive.Count(), 1);
    EXPECT_EQ(ReadBytes(m_path), "H\n%\none");
}

} // namespace
