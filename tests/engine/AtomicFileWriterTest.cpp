// Copies through the temporary file: ranges of any length, in any order, come
// out byte for byte; a range past the source's end fails and leaves the target.
#include "engine/CAtomicFileWriter.h"
#include "engine/CUniqueFd.h"
#include "tests/engine/ArchiveFiles.h"
#include "tests/support/TempHome.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using zrv::CAtomicFileWriter;
using zrv::CUniqueFd;
using zrv::test::FolderEntries;
using zrv::test::ReadBytes;
using zrv::test::WriteBytes;

struct Range {
    int64_t offset;
    int64_t length;
};

TEST(AtomicFileWriter, copiedRanges_comeOutByteForByteOrFailWhole)
{
    constexpr int64_t kBlock = int64_t{1} << 20;
    std::string source(3 * kBlock + 12345, '\0');
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    const int64_t size = static_cast<int64_t>(source.size());
    struct Case {
        std::vector<Range> ranges;
        bool fits;
    };
    const std::vector<Case> cases = {
        {{{0, 10}, {10, 20}, {100, 5}, {kBlock - 3, 6}, {kBlock + 3, 1}}, true},
        {{{kBlock * 2, 40}, {5, 40}, {kBlock * 2 + 10, 40}}, true},    // backwards and again
        {{{0, kBlock + 1}, {7, 9}, {size - 4, 4}, {1, kBlock}}, true}, // long ones read directly
        {{{size - 10, 10}, {0, 0}, {size, 0}}, true},
        {{{0, 10}, {size - 5, 6}}, false},
        {{{size, 1}}, false},
        {{{0, 5}, {size - kBlock, kBlock + 1}}, false},
    };
    const std::string folder = zrv::test::MakeTempDir("writer");
    const std::string from = folder + "/source";
    const std::string target = folder + "/target";
    WriteBytes(from, source);
    for (size_t c = 0; c < cases.size(); ++c) {
        WriteBytes(target, "before");
        struct stat status {};
        ASSERT_EQ(::stat(target.c_str(), &status), 0);
        const CUniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
        std::string expected = "head";
        bool copied = true;
        {
            CAtomicFileWriter writer(target, status, -1);
            copied = writer.Write(expected);
            for (const Range& range : cases[c].ranges) {
                copied = copied && writer.CopyRange(in.Get(), range.offset, range.length);
                if (range.offset + range.length <= size)
                    expected += source.substr(static_cast<size_t>(range.offset),
                                              static_cast<size_t>(range.length));
            }
            copied = copied && writer.Commit();
        }
        EXPECT_EQ(copied, cases[c].fits) << "case " << c;
        EXPECT_TRUE(ReadBytes(target) == (cases[c].fits ? expected : "before")) << "case " << c;
        EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"source", "target"}))
            << "case " << c;
    }
}

} // namespace
