#include "component/CFortuneFactory.h"

#include "component/CFortune.h"
#include "component/CModule.h"

#include <new>

namespace zrv {

HRESULT CFortuneFactory::Create(ComPtr<IClassFactory>& factory)
{
    auto* created = new (std::nothrow) CFortuneFactory();
    if (!created)
        return E_OUTOFMEMORY;
    factory = ComPtr<IClassFactory>(created); // the only owner from here on
    return S_OK;
}

HRESULT CFortuneFactory::QueryInterface(const GUID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The factory may be shared by every thread of the process: its count is atomic.
ULONG CFortuneFactory::AddRef()
{
    return m_refs.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG CFortuneFactory::Release()
{
    const ULONG refs = m_refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT CFortuneFactory::CreateInstance(IUnknown* outer, const GUID& iid, void** ppv)
{
    return CFortune::CreateInstance(outer, iid, ppv);
}

HRESULT CFortuneFactory::LockServer(int32_t lock)
{
    if (lock)
        CModule::Instance().Lock();
    else
        CModule::Instance().Unlock();
    return S_OK;
}

} // namespace zrv
