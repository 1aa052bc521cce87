#pragma once

#include "runtime/com/CUnknown.h"
#include "runtime/com/OleAuto.h"
#include "runtime/com/TypeLibModel.h"

#include <memory>

namespace zrv::com {

// ITypeLib over a library's type information read by LoadTypeLib.
class CTypeLib final : public CUnknown<CTypeLib, Face<ITypeLib, IID_ITypeLib>> {
public:
    explicit CTypeLib(std::shared_ptr<const TlbLibrary> lib);
    CTypeLib(const CTypeLib&) = delete;
    CTypeLib& operator=(const CTypeLib&) = delete;

    const TlbLibrary& model() const { return *m_lib; }

    UINT GetTypeInfoCount() override;
    HRESULT GetTypeInfo(UINT index, ITypeInfo** info) override;
    HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) override;
    HRESULT GetTypeInfoOfGuid(const GUID& guid, ITypeInfo** info) override;
    HRESULT GetLibAttr(TLIBATTR** attr) override;
    HRESULT GetTypeComp(ITypeComp** comp) override;
    HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                             BSTR* helpFile) override;
    HRESULT IsName(LPOLESTR name, ULONG hash, BOOL* found) override;
    HRESULT FindName(LPOLESTR name, ULONG hash, ITypeInfo** infos, MEMBERID* ids,
                     USHORT* found) override;
    void ReleaseTLibAttr(TLIBATTR* attr) override;

private:
    friend CUnknown;
    ~CTypeLib() = default;

    std::shared_ptr<const TlbLibrary> m_lib;
};

// Copies text into a new BSTR at out, when out is given.
HRESULT CopyText(const std::u16string& text, BSTR* out);

} // namespace zrv::com
