#include "sheet/app/CApplicationFactory.h"

#include "sheet/app/CApplication.h"
#include "sheet/app/CSheetModule.h"

#include <new>

namespace zrv::sheet {

HRESULT CApplicationFactory::Create(ComPtr<IClassFactory>& factory)
{
    auto* created = new (std::nothrow) CApplicationFactory();
    if (!created)
        return E_OUTOFMEMORY;
    factory = ComPtr<IClassFactory>(created); // the only owner from here on
    return S_OK;
}

HRESULT CApplicationFactory::QueryInterface(const GUID& iid, void** ppv)
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

ULONG CApplicationFactory::AddRef()
{
    return m_refs.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG CApplicationFactory::Release()
{
    const ULONG refs = m_refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT CApplicationFactory::CreateInstance(IUnknown* outer, const GUID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    try {
        const ComPtr<IDispatch> application = CApplication::Create();
        return application->QueryInterface(iid, ppv);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CApplicationFactory::LockServer(int32_t lock)
{
    if (lock)
        CSheetModule::Instance().Lock();
    else
        CSheetModule::Instance().Unlock();
    return S_OK;
}

} // namespace zrv::sheet
