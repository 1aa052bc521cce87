#pragma once

// The component object model's base: IUnknown, IClassFactory, GUID helpers
// and class creation through the registry. The binary surface (v-table order,
// no virtual destructors, C linkage of the entry points) is fixed: programs
// that do not use this header call it.

#include "runtime/ZrvTypes.h"

#include <cstddef>

// Interfaces hold their members only: the destructor is protected and not
// virtual, so it adds nothing to the v-table and nobody deletes through them.
struct IUnknown {
    virtual HRESULT QueryInterface(const GUID& iid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) = 0;
    virtual HRESULT LockServer(int32_t lock) = 0;

protected:
    ~IClassFactory() = default;
};

constexpr GUID GUID_NULL = {0x00000000, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr IID IID_NULL = GUID_NULL;
constexpr CLSID CLSID_NULL = GUID_NULL;
constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_ITypeLib = {0x00020402, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
constexpr IID IID_ICreateErrorInfo = {
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
constexpr IID IID_ISupportErrorInfo = {
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
// Proxy/stub class of automation-compatible interfaces (ProxyStubClsid32).
constexpr CLSID CLSID_PSOAInterface = {0x00020424, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i])
            return false;
    }
    return true;
}

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD COINIT_MULTITHREADED = 0x0;

// Length of "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with its NUL.
constexpr int CHARS_IN_GUID = 39;

extern "C" {

// Nothing to set up; kept so callers read as they would on the home platform.
ZRVRT_API HRESULT CoInitialize(void* reserved);
ZRVRT_API HRESULT CoInitializeEx(void* reserved, DWORD coInit);
ZRVRT_API void CoUninitialize(void);

// Looks the class up under HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32,
// loads the library once (it stays loaded until the process ends) and asks its
// DllGetClassObject. REGDB_E_CLASSNOTREG when the class or its server is not
// registered, CO_E_DLLNOTFOUND when the registered file does not load,
// CO_E_ERRORINDLL when it has no DllGetClassObject.
ZRVRT_API HRESULT CoGetClassObject(const CLSID& clsid, DWORD clsctx, void* serverInfo,
                                   const IID& iid, void** ppv);
ZRVRT_API HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD clsctx,
                                   const IID& iid, void** ppv);

// HKEY_CLASSES_ROOT\<progid>\CLSID; CO_E_CLASSSTRING when not registered.
ZRVRT_API HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// HKEY_CLASSES_ROOT\CLSID\{...}\ProgID into a CoTaskMemAlloc'ed string.
ZRVRT_API HRESULT ProgIDFromCLSID(const CLSID& clsid, LPOLESTR* progId);

ZRVRT_API void* CoTaskMemAlloc(size_t size);
ZRVRT_API void* CoTaskMemRealloc(void* block, size_t size);
ZRVRT_API void CoTaskMemFree(void* block);

// Writes "{...}" in upper case; returns the characters written with the NUL,
// or 0 when cchMax is too small.
ZRVRT_API int StringFromGUID2(const GUID& guid, LPOLESTR out, int cchMax);
// "{...}" into a CoTaskMemAlloc'ed string.
ZRVRT_API HRESULT StringFromCLSID(const CLSID& clsid, LPOLESTR* out);
ZRVRT_API HRESULT StringFromIID(const IID& iid, LPOLESTR* out);
// Accepts "{...}" (any case) or a registered ProgID; CO_E_CLASSSTRING otherwise.
ZRVRT_API HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
// Accepts "{...}" only; E_INVALIDARG otherwise.
ZRVRT_API HRESULT IIDFromString(LPCOLESTR text, IID* iid);
ZRVRT_API BOOL IsEqualGUID(const GUID& a, const GUID& b);

} // extern "C"

inline BOOL IsEqualIID(const IID& a, const IID& b)
{
    return IsEqualGUID(a, b);
}
inline BOOL IsEqualCLSID(const CLSID& a, const CLSID& b)
{
    return IsEqualGUID(a, b);
}
