// The library's entry points, called by the component runtime and by
// zrvregsvr through dlsym.

#include "component/CModule.h"
#include "component/CRegistrar.h"
#include "component/IFortune.h"

#define ZRVFORT_API extern "C" __attribute__((visibility("default")))

using zrv::CModule;
using zrv::CRegistrar;

ZRVFORT_API HRESULT DllGetClassObject(const GUID* clsid, const GUID* iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!clsid || !iid)
        return E_INVALIDARG;
    if (!(*clsid == CLSID_Fortune))
        return CLASS_E_CLASSNOTAVAILABLE;
    ComPtr<IClassFactory> factory;
    const HRESULT hr = CModule::Instance().GetClassFactory(factory);
    return FAILED(hr) ? hr : factory->QueryInterface(*iid, ppv);
}

ZRVFORT_API HRESULT DllCanUnloadNow(void)
{
    return CModule::Instance().LockCount() == 0 ? S_OK : S_FALSE;
}

ZRVFORT_API HRESULT DllRegisterServer(void)
{
    const CRegistrar registrar(CModule::FilePath());
    const HRESULT hr = registrar.RegisterClass();
    return FAILED(hr) ? hr : registrar.RegisterTypeLibrary();
}

ZRVFORT_API HRESULT DllUnregisterServer(void)
{
    const CRegistrar registrar(CModule::FilePath());
    registrar.UnregisterClass();
    registrar.UnregisterTypeLibrary();
    return S_OK;
}
