#include "tests/support/CRenameWatch.h"

#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace zrv::test {

CRenameWatch::CRenameWatch(const std::string& folder, std::string name)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), m_name(std::move(name))
{
    // Creations and the other half of each rename are watched too: identical
    // events in a row would be merged into one, and these keep two renames
    // onto the same name apart.
    if (m_fd >= 0 &&
        ::inotify_add_watch(m_fd, folder.c_str(), IN_CREATE | IN_MOVED_FROM | IN_MOVED_TO) < 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

CRenameWatch::~CRenameWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int CRenameWatch::Count()
{
    if (m_fd < 0)
        return -1;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            return m_count;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0 && m_name == event->name)
                ++m_count;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace zrv::test
