#pragma once

#include "runtime/ZrvTypes.h"

#include <map>
#include <mutex>
#include <string>

namespace zrv::com {

using DllGetClassObjectFn = HRESULT (*)(const GUID* clsid, const GUID* iid, void** ppv);

// The in-process servers this process has loaded, by registered path. A
// library is loaded once and stays loaded until the process ends: objects and
// class factories it handed out may live anywhere, and DllCanUnloadNow is not
// consulted. Failed loads are not remembered, so a later repair takes effect.
class CServerCache final {
public:
    static CServerCache& instance();

    // CO_E_DLLNOTFOUND when the file is missing or does not load,
    // CO_E_ERRORINDLL when it has no DllGetClassObject.
    HRESULT entryPoint(const std::string& path, DllGetClassObjectFn& entry);

private:
    CServerCache() = default;

    std::mutex m_mutex;
    std::map<std::string, DllGetClassObjectFn> m_entries;
};

} // namespace zrv::com
