#pragma once

// The component library's module: object and lock counts, the class factory
// and the library's path (see CServerModule), and the type information that
// answers late-bound calls.

#include "component/IFortune.h"
#include "runtime/com/CServerModule.h"
#include "runtime/com/OleAuto.h"

#include <mutex>

namespace zrv {

class CModule final : public com::CServerModule<CModule> {
public:
    // IFortune's type information: the registered type library (1.0), or
    // the one this file carries when none is registered. Loaded once.
    HRESULT GetFortuneTypeInfo(ComPtr<ITypeInfo>& info);

private:
    friend CServerModule;
    CModule() = default;
    ~CModule() = default;

    std::mutex m_typeInfoLock;
    ComPtr<ITypeInfo> m_typeInfo;
};

} // namespace zrv
