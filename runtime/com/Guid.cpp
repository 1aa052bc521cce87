// GUID text, comparison, task memory and the apartment calls.

#include "runtime/com/GuidText.h"
#include "runtime/com/ObjBase.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Task memory of n units holding text and a NUL.
LPOLESTR AllocTaskString(const std::string& ascii)
{
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((ascii.size() + 1) * sizeof(OLECHAR)));
    if (!out)
        return nullptr;
    for (size_t i = 0; i < ascii.size(); ++i)
        out[i] = static_cast<OLECHAR>(static_cast<unsigned char>(ascii[i]));
    out[ascii.size()] = u'\0';
    return out;
}

std::u16string_view ViewOf(LPCOLESTR text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

} // namespace

extern "C" {

ZRVRT_API HRESULT CoInitialize(void*)
{
    return S_OK;
}

ZRVRT_API HRESULT CoInitializeEx(void*, DWORD)
{
    return S_OK;
}

ZRVRT_API void CoUninitialize(void) {}

ZRVRT_API void* CoTaskMemAlloc(size_t size)
{
    return std::malloc(size);
}

ZRVRT_API void* CoTaskMemRealloc(void* block, size_t size)
{
    return std::realloc(block, size);
}

ZRVRT_API void CoTaskMemFree(void* block)
{
    std::free(block);
}

ZRVRT_API BOOL IsEqualGUID(const GUID& a, const GUID& b)
{
    return a == b ? TRUE : FALSE;
}

ZRVRT_API int StringFromGUID2(const GUID& guid, LPOLESTR out, int cchMax)
{
    if (!out || cchMax < CHARS_IN_GUID)
        return 0;
    const std::string text = zrv::com::GuidToString(guid);
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<OLECHAR>(text[i]);
    out[text.size()] = u'\0';
    return CHARS_IN_GUID;
}

ZRVRT_API HRESULT StringFromCLSID(const CLSID& clsid, LPOLESTR* out)
{
    if (!out)
        return E_INVALIDARG;
    *out = AllocTaskString(zrv::com::GuidToString(clsid));
    return *out ? S_OK : E_OUTOFMEMORY;
}

ZRVRT_API HRESULT StringFromIID(const IID& iid, LPOLESTR* out)
{
    return StringFromCLSID(iid, out);
}

ZRVRT_API HRESULT IIDFromString(LPCOLESTR text, IID* iid)
{
    if (!iid)
        return E_INVALIDARG;
    const auto parsed = zrv::com::ParseGuid(ViewOf(text));
    if (!parsed)
        return E_INVALIDARG;
    *iid = *parsed;
    return S_OK;
}

ZRVRT_API HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid)
{
    if (!clsid)
        return E_INVALIDARG;
    const std::u16string_view view = ViewOf(text);
    if (!view.empty() && view.front() != u'{')
        return CLSIDFromProgID(text, clsid);
    const auto parsed = zrv::com::ParseGuid(view);
    if (!parsed)
        return CO_E_CLASSSTRING;
    *clsid = *parsed;
    return S_OK;
}

} // extern "C"
