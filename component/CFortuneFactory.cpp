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
    factory = ComPtr<IClassFactory>::attach(created); // the only owner from here on
    return S_OK;
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
