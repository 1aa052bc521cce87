#include "fortarc/CInputFile.h"

#include "fortarc/FortarcError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fortarc {

namespace {

int OpenWithoutWaiting(const std::string& path, bool followLinks)
{
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    return ::open(path.c_str(), flags);
}

} // namespace

CInputFile::CInputFile(const std::string& path, bool followLinks) : m_path(path)
{
    m_fd = OpenWithoutWaiting(path, followLinks);
    if (m_fd < 0)
        throw FortarcError(
            ExitCode::Failure,
            path + ": " +
                (errno == ELOOP && !followLinks ? "a symbolic link" : std::strerror(errno)));
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(m_fd);
        throw FortarcError(ExitCode::Failure, path + ": " + reason);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(m_fd);
        throw FortarcError(ExitCode::Failure, path + ": not a regular file");
    }
    m_size = static_cast<uint64_t>(info.st_size);
}

std::optional<CInputFile> CInputFile::OpenIfExists(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT)
        return std::nullopt;
    return CInputFile(path);
}

CInputFile::~CInputFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

CInputFile::CInputFile(CInputFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size)
{}

std::string CInputFile::Read(uint64_t limit) const
{
    const auto wanted = static_cast<size_t>(std::min(limit, m_size));
    std::string bytes(wanted, '\0');
    size_t got = 0;
    while (got < wanted) {
        const ssize_t read =
            ::pread(m_fd, bytes.data() + got, wanted - got, static_cast<off_t>(got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw FortarcError(ExitCode::Failure, m_path + ": " + std::strerror(errno));
        if (read == 0)
            break;
        got += static_cast<size_t>(read);
    }
    bytes.resize(got);
    return bytes;
}

} // namespace fortarc
