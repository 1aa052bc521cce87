#include "engine/CUniqueFd.h"

#include <cerrno>
#include <unistd.h>

namespace zrv {

CUniqueFd::~CUniqueFd()
{
    Close();
}

CUniqueFd& CUniqueFd::operator=(CUniqueFd&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.Release();
    }
    return *this;
}

int CUniqueFd::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool CUniqueFd::Close()
{
    if (m_fd < 0)
        return true;
    // Linux releases the descriptor even when close fails with EINTR: never retry.
    const bool ok = ::close(Release()) == 0;
    return ok;
}

long long ReadFully(int fd, char* data, long long length, long long offset)
{
    long long done = 0;
    while (done < length) {
        const ssize_t n =
            ::pread(fd, data + done, static_cast<size_t>(length - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

bool WriteFully(int fd, const char* data, long long length)
{
    long long done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace zrv
