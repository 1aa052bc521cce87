#include "engine/CFileStamp.h"

#include <sys/stat.h>

namespace zrv {

CFileStamp::CFileStamp(const struct stat& status)
    : m_known(true), m_device(status.st_dev), m_inode(status.st_ino), m_size(status.st_size),
      m_modifiedSec(status.st_mtim.tv_sec), m_modifiedNsec(status.st_mtim.tv_nsec),
      m_changedSec(status.st_ctim.tv_sec), m_changedNsec(status.st_ctim.tv_nsec)
{}

std::optional<CFileStamp> CFileStamp::OfPath(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return CFileStamp(status);
}

std::optional<CFileStamp> CFileStamp::OfFd(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return CFileStamp(status);
}

} // namespace zrv
