#include "sheet/process/CAnswerPipe.h"

#include "sheet/io/CWorkbookBuilder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace zrv::sheet {

void CAnswerPipe::Read(char* into, std::size_t size)
{
    while (size > 0) {
        if (m_start == m_end && !Fill())
            throw CReadError("the reader's answer ends early");
        const std::size_t part = std::min(size, m_end - m_start);
        std::memcpy(into, m_buffer + m_start, part);
        m_start += part;
        into += part;
        size -= part;
    }
}

bool CAnswerPipe::AtEnd()
{
    return m_start == m_end && !Fill();
}

bool CAnswerPipe::Fill()
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            m_deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            throw CAnswerTimeout();
        pollfd readable{m_fd, POLLIN, 0};
        const int ready = poll(&readable, 1, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR)
            throw CReadError(std::string("cannot read the reader's answer: ") +
                             std::strerror(errno));
        if (ready <= 0)
            continue;
        const ssize_t got = read(m_fd, m_buffer, sizeof m_buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            throw CReadError(std::string("cannot read the reader's answer: ") +
                             std::strerror(errno));
        m_start = 0;
        m_end = static_cast<std::size_t>(got);
        return got > 0;
    }
}

} // namespace zrv::sheet
