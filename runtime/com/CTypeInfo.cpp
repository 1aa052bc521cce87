#include "runtime/com/CTypeInfo.h"

#include "runtime/com/CInvocation.h"
#include "runtime/com/CTypeLib.h"

#include <new>

namespace zrv::com {

namespace {

constexpr unsigned kUnknownSlots = 3;
constexpr unsigned kDispatchSlots = 7;

HRESULT UnknownName(MEMBERID* ids, UINT count)
{
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

} // namespace

CTypeInfo::CTypeInfo(CTypeLib& lib, UINT index) : m_lib(&lib), m_index(index) {}

const TlbType& CTypeInfo::type() const
{
    return m_lib->model().types[m_index];
}

const TlbMember* CTypeInfo::findMember(MEMBERID id) const
{
    for (const TlbMember& member : type().members) {
        if (member.dispid == id)
            return &member;
    }
    return nullptr;
}

HRESULT CTypeInfo::GetTypeAttr(TYPEATTR** attr)
{
    if (!attr)
        return E_INVALIDARG;
    const TlbType& t = type();
    const TlbLibrary& lib = m_lib->model();
    const bool dispatch = (t.flags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE)) != 0;
    const auto slots =
        static_cast<WORD>((dispatch ? kDispatchSlots : kUnknownSlots) + t.members.size());
    auto* a = new (std::nothrow) TYPEATTR{};
    if (!a)
        return E_OUTOFMEMORY;
    a->guid = t.guid;
    a->lcid = lib.lcid;
    a->memidConstructor = MEMBERID_NIL;
    a->memidDestructor = MEMBERID_NIL;
    a->typekind = t.kind;
    a->cFuncs = static_cast<WORD>(t.members.size());
    a->cImplTypes = t.kind == TKIND_COCLASS ? (t.defaultInterface ? 1 : 0) : 1;
    a->cbSizeVft = t.kind == TKIND_COCLASS ? 0 : static_cast<WORD>(slots * sizeof(void*));
    a->cbSizeInstance = sizeof(void*);
    a->cbAlignment = alignof(void*);
    a->wTypeFlags = t.flags;
    a->wMajorVerNum = lib.major;
    a->wMinorVerNum = lib.minor;
    a->tdescAlias.vt = VT_EMPTY;
    *attr = a;
    return S_OK;
}

HRESULT CTypeInfo::GetTypeComp(ITypeComp** comp)
{
    if (comp)
        *comp = nullptr;
    return E_NOTIMPL;
}

HRESULT CTypeInfo::GetFuncDesc(UINT, FUNCDESC** desc)
{
    if (desc)
        *desc = nullptr;
    return E_NOTIMPL;
}

HRESULT CTypeInfo::GetVarDesc(UINT, VARDESC** desc)
{
    if (desc)
        *desc = nullptr;
    return E_NOTIMPL;
}

HRESULT CTypeInfo::GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count)
{
    if (!names || !count)
        return E_INVALIDARG;
    *count = 0;
    const TlbMember* member = findMember(id);
    if (!member)
        return TYPE_E_ELEMENTNOTFOUND;
    if (maxNames == 0)
        return S_OK;
    HRESULT hr = CopyText(member->name, &names[(*count)++]);
    for (const TlbParam& param : member->params) {
        if (SUCCEEDED(hr) && *count < maxNames && !param.name.empty())
            hr = CopyText(param.name, &names[(*count)++]);
    }
    return hr;
}

HRESULT CTypeInfo::GetRefTypeOfImplType(UINT index, HREFTYPE* ref)
{
    if (!ref)
        return E_INVALIDARG;
    const TlbType& t = type();
    // The interface half of a dual interface is described by this same object.
    if (t.kind == TKIND_DISPATCH && index == static_cast<UINT>(-1)) {
        *ref = m_index;
        return S_OK;
    }
    if (t.kind != TKIND_COCLASS || index != 0 || !t.defaultInterface)
        return TYPE_E_ELEMENTNOTFOUND;
    const auto& types = m_lib->model().types;
    for (UINT i = 0; i < types.size(); ++i) {
        if (types[i].kind != TKIND_COCLASS && types[i].guid == *t.defaultInterface) {
            *ref = i;
            return S_OK;
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT CTypeInfo::GetImplTypeFlags(UINT index, INT* flags)
{
    if (!flags)
        return E_INVALIDARG;
    const TlbType& t = type();
    if (t.kind != TKIND_COCLASS || index != 0 || !t.defaultInterface)
        return TYPE_E_ELEMENTNOTFOUND;
    *flags = IMPLTYPEFLAG_FDEFAULT;
    return S_OK;
}

HRESULT CTypeInfo::GetIDsOfNames(OLECHAR** names, UINT count, MEMBERID* ids)
{
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    const TlbMember* member = nullptr;
    for (const TlbMember& m : type().members) {
        if (!member && names[0] && SameName(m.name, names[0]))
            member = &m;
    }
    if (!member)
        return UnknownName(ids, count);
    ids[0] = member->dispid;
    HRESULT hr = S_OK;
    // Further names are parameters: their ids are their positions.
    for (UINT n = 1; n < count; ++n) {
        ids[n] = DISPID_UNKNOWN;
        for (size_t p = 0; p < member->params.size(); ++p) {
            if (names[n] && SameName(member->params[p].name, names[n]))
                ids[n] = static_cast<MEMBERID>(p);
        }
        if (ids[n] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT CTypeInfo::Invoke(void* instance, MEMBERID id, WORD flags, DISPPARAMS* params,
                          VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    if (!params)
        return E_INVALIDARG;
    for (const TlbMember& member : type().members) {
        if (member.dispid == id && (member.kind & flags) != 0) {
            CInvocation invocation(member, *params);
            return invocation.run(instance, result, excepInfo, argErr);
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CTypeInfo::GetDocumentation(MEMBERID id, BSTR* name, BSTR* docString, DWORD* helpContext,
                                    BSTR* helpFile)
{
    const TlbType& t = type();
    const TlbMember* member = id == MEMBERID_NIL ? nullptr : findMember(id);
    if (id != MEMBERID_NIL && !member)
        return TYPE_E_ELEMENTNOTFOUND;
    if (helpContext)
        *helpContext = 0;
    if (helpFile)
        *helpFile = nullptr;
    HRESULT hr = CopyText(member ? member->name : t.name, name);
    if (SUCCEEDED(hr))
        hr = CopyText(member ? member->help : t.help, docString);
    return hr;
}

HRESULT CTypeInfo::GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*)
{
    return E_NOTIMPL;
}

HRESULT CTypeInfo::GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info)
{
    return m_lib->GetTypeInfo(ref, info);
}

HRESULT CTypeInfo::AddressOfMember(MEMBERID, INVOKEKIND, void** address)
{
    if (address)
        *address = nullptr;
    return E_NOTIMPL;
}

HRESULT CTypeInfo::CreateInstance(IUnknown*, const GUID&, void** ppv)
{
    if (ppv)
        *ppv = nullptr;
    return E_NOTIMPL;
}

HRESULT CTypeInfo::GetMops(MEMBERID, BSTR* mops)
{
    if (mops)
        *mops = nullptr;
    return E_NOTIMPL;
}

HRESULT CTypeInfo::GetContainingTypeLib(ITypeLib** lib, UINT* index)
{
    if (!lib)
        return E_INVALIDARG;
    m_lib->AddRef();
    *lib = m_lib.get();
    if (index)
        *index = m_index;
    return S_OK;
}

void CTypeInfo::ReleaseTypeAttr(TYPEATTR* attr)
{
    delete attr;
}

void CTypeInfo::ReleaseFuncDesc(FUNCDESC*) {}

void CTypeInfo::ReleaseVarDesc(VARDESC*) {}

} // namespace zrv::com
