// The read-ahead window against the file's bytes: walks that cross window
// ends, jumps, long ranges and ranges past the end of the file.
#include "engine/CRangeReader.h"
#include "tests/engine/ArchiveFiles.h"
#include "tests/support/TempHome.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>

namespace {

TEST(RangeReader, walksAndJumps_readTheFileBytes)
{
    std::mt19937 random(7);
    std::string bytes(3 << 20, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    const std::string path = zrv::test::MakeTempDir("range") + "/bytes";
    zrv::test::WriteBytes(path, bytes);
    zrv::CRangeReader reader;
    reader.Attach(zrv::CUniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)));
    const auto size = static_cast<int64_t>(bytes.size());
    int64_t start = 0;
    for (int step = 0; step < 200000; ++step) {
        // Mostly the next range of a walk; now and then a jump, a long range
        // or one reaching past the end.
        const unsigned kind = random() % 1000;
        if (kind == 0)
            start = static_cast<int64_t>(random() % bytes.size());
        const int64_t length = kind == 1 ? 1 + random() % 1500000 : 1 + random() % 64;
        const int64_t end = kind == 2 ? size + 10 : std::min(start + length, size + 10);
        const int64_t kept = std::max<int64_t>(0, std::min(end, size) - start);
        ASSERT_EQ(reader.Read(start, end),
                  std::string_view(bytes).substr(static_cast<size_t>(std::min(start, size)),
                                                 static_cast<size_t>(kept)))
            << "step " << step << " from " << start << " to " << end;
        start = end >= size ? static_cast<int64_t>(random() % bytes.size())
                            : end + static_cast<int64_t>(random() % 4);
    }
}

} // namespace
