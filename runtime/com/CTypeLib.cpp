#include "runtime/com/CTypeLib.h"

#include "runtime/com/CTypeInfo.h"

#include <algorithm>
#include <new>

namespace zrv::com {

HRESULT CopyText(const std::u16string& text, BSTR* out)
{
    if (!out)
        return S_OK;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

CTypeLib::CTypeLib(std::shared_ptr<const TlbLibrary> lib) : m_lib(std::move(lib)) {}

UINT CTypeLib::GetTypeInfoCount()
{
    return static_cast<UINT>(m_lib->types.size());
}

HRESULT CTypeLib::GetTypeInfo(UINT index, ITypeInfo** info)
{
    if (!info)
        return E_INVALIDARG;
    *info = nullptr;
    if (index >= m_lib->types.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *info = new (std::nothrow) CTypeInfo(*this, index);
    return *info ? S_OK : E_OUTOFMEMORY;
}

HRESULT CTypeLib::GetTypeInfoType(UINT index, TYPEKIND* kind)
{
    if (!kind)
        return E_INVALIDARG;
    if (index >= m_lib->types.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *kind = m_lib->types[index].kind;
    return S_OK;
}

HRESULT CTypeLib::GetTypeInfoOfGuid(const GUID& guid, ITypeInfo** info)
{
    if (!info)
        return E_INVALIDARG;
    *info = nullptr;
    const auto& types = m_lib->types;
    const auto found =
        std::find_if(types.begin(), types.end(), [&](const TlbType& t) { return t.guid == guid; });
    if (found == types.end())
        return TYPE_E_ELEMENTNOTFOUND;
    return GetTypeInfo(static_cast<UINT>(found - types.begin()), info);
}

HRESULT CTypeLib::GetLibAttr(TLIBATTR** attr)
{
    if (!attr)
        return E_INVALIDARG;
    *attr = new (std::nothrow) TLIBATTR{
        m_lib->libid, m_lib->lcid,  SYS_NATIVE,
        m_lib->major, m_lib->minor, static_cast<WORD>(m_lib->flags | LIBFLAG_FHASDISKIMAGE)};
    return *attr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CTypeLib::GetTypeComp(ITypeComp** comp)
{
    if (comp)
        *comp = nullptr;
    return E_NOTIMPL;
}

HRESULT CTypeLib::GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                                   BSTR* helpFile)
{
    if (index < -1 || (index >= 0 && static_cast<size_t>(index) >= m_lib->types.size()))
        return TYPE_E_ELEMENTNOTFOUND;
    const std::u16string& typeName = index < 0 ? m_lib->name : m_lib->types[index].name;
    const std::u16string& help = index < 0 ? m_lib->help : m_lib->types[index].help;
    if (helpContext)
        *helpContext = 0;
    if (helpFile)
        *helpFile = nullptr;
    HRESULT hr = CopyText(typeName, name);
    if (SUCCEEDED(hr))
        hr = CopyText(help, docString);
    return hr;
}

HRESULT CTypeLib::IsName(LPOLESTR name, ULONG, BOOL* found)
{
    if (!name || !found)
        return E_INVALIDARG;
    *found = FALSE;
    const std::u16string_view wanted(name);
    for (const TlbType& type : m_lib->types) {
        const std::u16string* match = SameName(type.name, wanted) ? &type.name : nullptr;
        for (const TlbMember& member : type.members) {
            if (!match && SameName(member.name, wanted))
                match = &member.name;
        }
        if (match) {
            // The caller's buffer takes the stored spelling.
            std::copy(match->begin(), match->end(), name);
            *found = TRUE;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT CTypeLib::FindName(LPOLESTR name, ULONG, ITypeInfo** infos, MEMBERID* ids, USHORT* found)
{
    if (!name || !infos || !ids || !found || *found == 0)
        return E_INVALIDARG;
    const std::u16string_view wanted(name);
    const USHORT room = *found;
    USHORT count = 0;
    for (UINT i = 0; i < m_lib->types.size() && count < room; ++i) {
        const TlbType& type = m_lib->types[i];
        MEMBERID id = MEMBERID_NIL;
        bool match = SameName(type.name, wanted);
        for (const TlbMember& member : type.members) {
            if (!match && SameName(member.name, wanted)) {
                match = true;
                id = member.dispid;
            }
        }
        if (match && SUCCEEDED(GetTypeInfo(i, &infos[count])))
            ids[count++] = id;
    }
    *found = count;
    return S_OK;
}

void CTypeLib::ReleaseTLibAttr(TLIBATTR* attr)
{
    delete attr;
}

} // namespace zrv::com
