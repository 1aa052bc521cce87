// Class creation through the registry's HKEY_CLASSES_ROOT.

#include "runtime/com/AnsiText.h"
#include "runtime/com/ComPtr.h"
#include "runtime/com/CRegKey.h"
#include "runtime/com/CServerCache.h"
#include "runtime/com/Guard.h"
#include "runtime/com/GuidText.h"

#include <cstring>

namespace {

using zrv::com::Guarded;

std::string ClassKey(const CLSID& clsid)
{
    return "CLSID\\" + zrv::com::GuidToString(clsid);
}

HRESULT GetClassObject(const CLSID& clsid, DWORD clsctx, const IID& iid, void** ppv)
{
    if (!(clsctx & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)))
        return REGDB_E_CLASSNOTREG;
    const auto path =
        zrv::com::ReadRegString(HKEY_CLASSES_ROOT, ClassKey(clsid) + "\\InprocServer32");
    if (!path || path->empty())
        return REGDB_E_CLASSNOTREG;
    zrv::com::DllGetClassObjectFn entry = nullptr;
    const HRESULT hr = zrv::com::CServerCache::instance().entryPoint(*path, entry);
    if (FAILED(hr))
        return hr;
    return entry(&clsid, &iid, ppv);
}

} // namespace

extern "C" {

ZRVRT_API HRESULT CoGetClassObject(const CLSID& clsid, DWORD clsctx, void*, const IID& iid,
                                   void** ppv)
{
    if (!ppv)
        return E_INVALIDARG;
    *ppv = nullptr;
    return Guarded([&] { return GetClassObject(clsid, clsctx, iid, ppv); });
}

ZRVRT_API HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD clsctx,
                                   const IID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    const HRESULT hr =
        CoGetClassObject(clsid, clsctx, nullptr, IID_IClassFactory, factory.putVoid());
    if (FAILED(hr))
        return hr;
    if (!factory)
        return E_NOINTERFACE;
    return factory->CreateInstance(outer, iid, ppv);
}

ZRVRT_API HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid)
{
    if (!progId || !clsid)
        return E_INVALIDARG;
    return Guarded([&] {
        const std::string key = zrv::com::ToAnsi(progId);
        const auto text = zrv::com::ReadRegString(HKEY_CLASSES_ROOT, key + "\\CLSID");
        const auto parsed = text ? zrv::com::ParseGuid(*text) : std::nullopt;
        if (key.empty() || !parsed)
            return CO_E_CLASSSTRING;
        *clsid = *parsed;
        return S_OK;
    });
}

ZRVRT_API HRESULT ProgIDFromCLSID(const CLSID& clsid, LPOLESTR* progId)
{
    if (!progId)
        return E_INVALIDARG;
    *progId = nullptr;
    return Guarded([&] {
        const auto text = zrv::com::ReadRegString(HKEY_CLASSES_ROOT, ClassKey(clsid) + "\\ProgID");
        if (!text || text->empty())
            return REGDB_E_CLASSNOTREG;
        const std::u16string wide = zrv::com::FromAnsi(*text);
        auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
        if (!out)
            return E_OUTOFMEMORY;
        std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(OLECHAR));
        *progId = out;
        return S_OK;
    });
}

} // extern "C"
