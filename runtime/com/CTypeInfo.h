#pragma once

#include "runtime/com/ComPtr.h"
#include "runtime/com/CUnknown.h"
#include "runtime/com/OleAuto.h"
#include "runtime/com/TypeLibModel.h"

namespace zrv::com {

class CTypeLib;

// ITypeInfo of one type of a loaded library: names, documentation, and
// late-bound calls of an interface's members through its v-table.
class CTypeInfo final : public CUnknown<CTypeInfo, Face<ITypeInfo, IID_ITypeInfo>> {
public:
    CTypeInfo(CTypeLib& lib, UINT index);
    CTypeInfo(const CTypeInfo&) = delete;
    CTypeInfo& operator=(const CTypeInfo&) = delete;

    HRESULT GetTypeAttr(TYPEATTR** attr) override;
    HRESULT GetTypeComp(ITypeComp** comp) override;
    HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) override;
    HRESULT GetVarDesc(UINT index, VARDESC** desc) override;
    HRESULT GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) override;
    HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override;
    HRESULT GetImplTypeFlags(UINT index, INT* flags) override;
    HRESULT GetIDsOfNames(OLECHAR** names, UINT count, MEMBERID* ids) override;
    HRESULT Invoke(void* instance, MEMBERID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override;
    HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* docString, DWORD* helpContext,
                             BSTR* helpFile) override;
    HRESULT GetDllEntry(MEMBERID id, INVOKEKIND kind, BSTR* dllName, BSTR* name,
                        WORD* ordinal) override;
    HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) override;
    HRESULT AddressOfMember(MEMBERID id, INVOKEKIND kind, void** address) override;
    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override;
    HRESULT GetMops(MEMBERID id, BSTR* mops) override;
    HRESULT GetContainingTypeLib(ITypeLib** lib, UINT* index) override;
    void ReleaseTypeAttr(TYPEATTR* attr) override;
    void ReleaseFuncDesc(FUNCDESC* desc) override;
    void ReleaseVarDesc(VARDESC* desc) override;

private:
    friend CUnknown;
    ~CTypeInfo() = default;

    const TlbType& type() const;
    // The first member with that id (a property's get before its put).
    const TlbMember* findMember(MEMBERID id) const;

    ComPtr<CTypeLib> m_lib;
    UINT m_index;
};

} // namespace zrv::com
