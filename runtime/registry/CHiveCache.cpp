#include "runtime/registry/CHiveCache.h"

#include <atomic>
#include <pthread.h>

namespace zrv::reg {

namespace {

std::atomic<bool> g_forked{false};

void MarkForked()
{
    g_forked = true;
}

} // namespace

CHiveCache& CHiveCache::Instance()
{
    static CHiveCache cache;
    static const int registered = pthread_atfork(nullptr, nullptr, MarkForked);
    static_cast<void>(registered);
    return cache;
}

void CHiveCache::ForgetInheritedConnections()
{
    // A connection must not be used by a child after fork(); closing it there
    // could disturb the parent's locks, so the child leaves it alone.
    if (!g_forked.exchange(false))
        return;
    for (auto& entry : m_hives)
        static_cast<void>(entry.second.release());
    m_hives.clear();
}

LONG CHiveCache::Get(const std::string& path, bool create, CHive*& hive)
{
    ForgetInheritedConnections();
    if (const auto found = m_hives.find(path); found != m_hives.end()) {
        const bool outdated = found->second->Stale() || (create && found->second->Replaced());
        if (!outdated) {
            hive = found->second.get();
            return ERROR_SUCCESS;
        }
        m_hives.erase(found);
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
