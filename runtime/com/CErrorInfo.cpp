#include "runtime/com/CErrorInfo.h"

#include <new>

namespace zrv::com {

namespace {

HRESULT CopyOut(const std::u16string& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CopyIn(LPOLESTR text, std::u16string& field)
{
    try {
        field = text ? std::u16string(text) : std::u16string();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace

HRESULT CErrorInfo::GetGUID(GUID* guid)
{
    if (!guid)
        return E_POINTER;
    *guid = m_guid;
    return S_OK;
}

HRESULT CErrorInfo::GetSource(BSTR* source)
{
    return CopyOut(m_source, source);
}

HRESULT CErrorInfo::GetDescription(BSTR* description)
{
    return CopyOut(m_description, description);
}

HRESULT CErrorInfo::GetHelpFile(BSTR* helpFile)
{
    return CopyOut(m_helpFile, helpFile);
}

HRESULT CErrorInfo::GetHelpContext(DWORD* helpContext)
{
    if (!helpContext)
        return E_POINTER;
    *helpContext = m_helpContext;
    return S_OK;
}

HRESULT CErrorInfo::SetGUID(const GUID& guid)
{
    m_guid = guid;
    return S_OK;
}

HRESULT CErrorInfo::SetSource(LPOLESTR source)
{
    return CopyIn(source, m_source);
}

HRESULT CErrorInfo::SetDescription(LPOLESTR description)
{
    return CopyIn(description, m_description);
}

HRESULT CErrorInfo::SetHelpFile(LPOLESTR helpFile)
{
    return CopyIn(helpFile, m_helpFile);
}

HRESULT CErrorInfo::SetHelpContext(DWORD helpContext)
{
    m_helpContext = helpContext;
    return S_OK;
}

} // namespace zrv::com
