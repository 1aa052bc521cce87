#include "runtime/com/CServerCache.h"

#include <dlfcn.h>

namespace zrv::com {

CServerCache& CServerCache::instance()
{
    static CServerCache cache;
    return cache;
}

HRESULT CServerCache::entryPoint(const std::string& path, DllGetClassObjectFn& entry)
{
    const std::lock_guard lock(m_mutex);
    if (const auto found = m_entries.find(path); found != m_entries.end()) {
        entry = found->second;
        return S_OK;
    }
    // RTLD_NODELETE: the library stays even if someone else closes a handle.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle)
        return CO_E_DLLNOTFOUND;
    void* symbol = dlsym(handle, "DllGetClassObject");
    if (!symbol) {
        dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    entry = reinterpret_cast<DllGetClassObjectFn>(symbol);
    m_entries.emplace(path, entry);
    return S_OK;
}

} // namespace zrv::com
