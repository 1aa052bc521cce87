#include "editor/archives/CArchiveFolder.h"

#include "tests/support/FileFlags.h"
#include "tests/support/TempHome.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

using Outcome = CArchiveFolder::Outcome;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Marks a file immutable for its lifetime, so even root can neither delete
// nor change it.
class ImmutableFile final {
public:
    explicit ImmutableFile(const fs::path& path) : mPath(path) { mSet = SetFlag(true); }
    ~ImmutableFile()
    {
        if (mSet)
            SetFlag(false);
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool set() const { return mSet; }

private:
    bool SetFlag(bool on) const { return zrv::test::SetImmutable(mPath.string(), on); }
    fs::path mPath;
    bool mSet = false;
};

// Lowers the file size limit so writes beyond it fail as on a full disk.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &mSaved);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = mSaved;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mOldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit mSaved{};
    void (*mOldHandler)(int) = nullptr;
};

class ArchiveFolderTest : public testing::Test {
protected:
    fs::path dir = zrv::test::MakeTempDir("data");
    CArchiveFolder folder{QString::fromStdString(dir.string())};
};

} // namespace

TEST_F(ArchiveFolderTest, reserve_createsEmptyFileOnlyWhenNameIsFree)
{
    EXPECT_EQ(folder.ReserveArchive(" new one "), Outcome::Done);
    ASSERT_TRUE(fs::is_regular_file(dir / " new one "));
    EXPECT_EQ(fs::file_size(dir / " new one "), 0u);

    WriteFile(dir / "taken", "keep me");
    EXPECT_EQ(folder.ReserveArchive("taken"), Outcome::NameTaken);
    EXPECT_EQ(ReadFile(dir / "taken"), "keep me");

    fs::create_directory(dir / "folder");
    EXPECT_EQ(folder.ReserveArchive("folder"), Outcome::NameTaken);

    // A dangling link must not create its target elsewhere.
    const fs::path outside = zrv::test::MakeTempDir("outside");
    fs::create_symlink(outside / "victim", dir / "dangling");
    EXPECT_EQ(folder.ReserveArchive("dangling"), Outcome::NameTaken);
    EXPECT_FALSE(fs::exists(outside / "victim"));
}

TEST_F(ArchiveFolderTest, copy_isByteIdenticalAndKeepsPermissions)
{
    std::string bytes = "Header\r\nline\n%\nfirst\n%\n";
    bytes += std::string("nul\0byte\r", 9);
    for (int i = 0; i < 20000; ++i)
        bytes += static_cast<char>(i * 7);
    WriteFile(dir / "source", bytes);
    fs::permissions(dir / "source",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    EXPECT_EQ(folder.CopyArchive("source", "copy of source"), Outcome::Done);
    EXPECT_EQ(ReadFile(dir / "copy of source"), bytes);
    EXPECT_EQ(fs::status(dir / "copy of source").permissions(),
              fs::status(dir / "source").permissions());
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"copy of source", "source"}));
}

TEST_F(ArchiveFolderTest, copyOntoExistingName_replacesNothingAndLeavesNoTemporary)
{
    WriteFile(dir / "source", "new bytes");
    WriteFile(dir / "target", "old bytes");
    EXPECT_EQ(folder.CopyArchive("source", "target"), Outcome::NameTaken);
    EXPECT_EQ(ReadFile(dir / "target"), "old bytes");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"source", "target"}));
}

TEST_F(ArchiveFolderTest, copyFailures_leaveNoPartialArchive)
{
    EXPECT_EQ(folder.CopyArchive("missing", "target"), Outcome::Failed);
    EXPECT_TRUE(Entries(dir).empty());

    WriteFile(dir / "big", std::string(256 * 1024, 'x'));
    {
        const FileSizeLimit limit(64 * 1024);
        EXPECT_EQ(folder.CopyArchive("big", "target"), Outcome::Failed);
    }
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"big"}));

    const fs::path outside = zrv::test::MakeTempDir("outside");
    WriteFile(outside / "secret", "not an archive");
    fs::create_symlink(outside / "secret", dir / "linked");
    EXPECT_EQ(folder.CopyArchive("linked", "target"), Outcome::Failed);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"big", "linked"}));
}

TEST_F(ArchiveFolderTest, delete_removesOnlyTheNamedFile)
{
    WriteFile(dir / "a*", "pattern-like name");
    WriteFile(dir / "ab", "other");
    WriteFile(dir / "a?", "other");
    EXPECT_TRUE(folder.DeleteArchive("a*"));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"a?", "ab"}));
    EXPECT_FALSE(folder.DeleteArchive("a*"));
}

TEST_F(ArchiveFolderTest, failedDelete_leavesArchiveIntact)
{
    WriteFile(dir / "locked", "precious");
    const ImmutableFile lock(dir / "locked");
    if (!lock.set())
        GTEST_SKIP() << "file system cannot mark files immutable";
    EXPECT_FALSE(folder.DeleteArchive("locked"));
    EXPECT_EQ(ReadFile(dir / "locked"), "precious");
}
