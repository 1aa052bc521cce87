#pragma once

// The baseline of reading a file: read() in 1 MiB blocks and a memchr pass
// counting its line feeds.

#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace zrv::bench {

inline size_t CountLineFeeds(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::vector<char> block(size_t{1} << 20);
    size_t lines = 0;
    for (ssize_t got; (got = ::read(fd, block.data(), block.size())) > 0;) {
        const char* at = block.data();
        const char* const end = at + got;
        while (const void* hit = std::memchr(at, '\n', static_cast<size_t>(end - at))) {
            ++lines;
            at = static_cast<const char*>(hit) + 1;
        }
    }
    ::close(fd);
    return lines;
}

} // namespace zrv::bench
