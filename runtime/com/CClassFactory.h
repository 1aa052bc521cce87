#pragma once

// The class factory of a server library's class (see CServerModule):
// CreateInstance asks Class::CreateInstance(outer, iid, ppv), LockServer
// counts in the module's lock count. The module creates one and keeps it while the library
// is loaded.

#include "runtime/com/ComPtr.h"
#include "runtime/com/CUnknown.h"

#include <new>

namespace zrv::com {

template <class Module, class Class>
class CClassFactory final
    : public CUnknown<CClassFactory<Module, Class>, Face<IClassFactory, IID_IClassFactory>> {
public:
    static HRESULT Create(ComPtr<IClassFactory>& factory)
    {
        auto* created = new (std::nothrow) CClassFactory();
        if (!created)
            return E_OUTOFMEMORY;
        factory = ComPtr<IClassFactory>::attach(created); // the only owner from here on
        return S_OK;
    }

    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        return Class::CreateInstance(outer, iid, ppv);
    }

    HRESULT LockServer(int32_t lock) override
    {
        if (lock)
            Module::Instance().Lock();
        else
            Module::Instance().Unlock();
        return S_OK;
    }

private:
    friend CUnknown<CClassFactory<Module, Class>, Face<IClassFactory, IID_IClassFactory>>;
    CClassFactory() = default;
    ~CClassFactory() = default;
};

} // namespace zrv::com
