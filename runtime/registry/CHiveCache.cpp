#include "runtime/registry/CHiveCache.h"

#include <unistd.h>

namespace zrv::reg {

CHiveCache& CHiveCache::Instance()
{
    static CHiveCache cache;
    return cache;
}

void CHiveCache::ForgetInheritedConnections()
{
    // A connection must not be used by a child after fork(); closing it there
    // could disturb the parent's locks, so the child leaves it alone.
    const pid_t pid = getpid();
    if (pid == m_pid)
        return;
    for (auto& entry : m_hives)
        static_cast<void>(entry.second.release());
    m_hives.clear();
    m_pid = pid;
}

LONG CHiveCache::Get(const std::string& path, bool create, CHive*& hive)
{
    ForgetInheritedConnections();
    if (const auto found = m_hives.find(path); found != m_hives.end()) {
        hive = found->second.get();
        return ERROR_SUCCESS;
    }
    std::unique_ptr<CHive> opened;
    const LONG result = CHive::Open(path, create, opened);
    if (result != ERROR_SUCCESS)
        return result;
    hive = opened.get();
    m_hives.emplace(path, std::move(opened));
    return ERROR_SUCCESS;
}

} // namespace zrv::reg
