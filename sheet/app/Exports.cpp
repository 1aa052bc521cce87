// The library's entry points, called by the component runtime and by
// zrvregsvr through dlsym.

#include "runtime/com/ComPtr.h"
#include "sheet/app/CSheetModule.h"
#include "sheet/app/CSheetRegistrar.h"
#include "sheet/app/SheetClass.h"

#define ZRVSHEET_API extern "C" __attribute__((visibility("default")))

using zrv::sheet::CSheetModule;
using zrv::sheet::CSheetRegistrar;

ZRVSHEET_API HRESULT DllGetClassObject(const GUID* clsid, const GUID* iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!clsid || !iid)
        return E_INVALIDARG;
    if (!(*clsid == zrv::sheet::CLSID_SheetApplication))
        return CLASS_E_CLASSNOTAVAILABLE;
    ComPtr<IClassFactory> factory;
    const HRESULT hr = CSheetModule::Instance().GetClassFactory(factory);
    return FAILED(hr) ? hr : factory->QueryInterface(*iid, ppv);
}

ZRVSHEET_API HRESULT DllCanUnloadNow(void)
{
    return CSheetModule::Instance().LockCount() == 0 ? S_OK : S_FALSE;
}

ZRVSHEET_API HRESULT DllRegisterServer(void)
{
    return CSheetRegistrar(CSheetModule::FilePath()).Register();
}

ZRVSHEET_API HRESULT DllUnregisterServer(void)
{
    CSheetRegistrar(CSheetModule::FilePath()).Unregister();
    return S_OK;
}
