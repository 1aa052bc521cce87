#pragma once

// The Fortune class: one archive object behind IFortune, its dispatch
// interface, IFortuneBatch and ISupportErrorInfo. It can be aggregated: when an outer object
// is given, IUnknown calls on every interface go to it, and the outer holds
// the object through its inner (non-delegating) IUnknown.

#include "component/IFortune.h"
#include "engine/CArchive.h"

namespace zrv {

class CFortune final : public IFortune, public IFortuneBatch, public ISupportErrorInfo {
public:
    // Creates an object and hands out iid of it; with an outer object only
    // IID_IUnknown may be asked (the inner IUnknown). E_OUTOFMEMORY when the
    // object cannot be allocated.
    static HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** ppv);

    CFortune(const CFortune&) = delete;
    CFortune& operator=(const CFortune&) = delete;

    // IUnknown, delegated to the controlling unknown.
    HRESULT QueryInterface(const GUID& iid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IDispatch, answered from the type information.
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(const GUID& iid, OLECHAR** names, UINT count, LCID lcid,
                          DISPID* ids) override;
    HRESULT Invoke(DISPID id, const GUID& iid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    // IFortune.
    HRESULT Load(BSTR sFile) override;
    HRESULT Count(LONG* plCount) override;
    HRESULT Add(BSTR vsFortune) override;
    HRESULT get_Item(LONG vlIndex, BSTR* rsFortune) override;
    HRESULT put_Item(LONG vlIndex, BSTR newVal) override;
    HRESULT Delete(LONG vlIndex) override;
    HRESULT Create(BSTR sFile) override;
    HRESULT Rename(BSTR sFile) override;
    HRESULT Name(BSTR* psFile) override;
    HRESULT get_Header(BSTR* pVal) override;
    HRESULT put_Header(BSTR newVal) override;

    // IFortuneBatch.
    HRESULT Snapshot(IFortuneSnapshot** ppSnapshot) override;
    HRESULT AddMany(LONG lCount, const BSTR* psFortunes, LONG lFlags) override;
    HRESULT DeleteMany(LONG lCount, const LONG* plIndexes) override;
    HRESULT ReplaceItem(LONG vlIndex, BSTR sFortune, LONG lFlags) override;
    HRESULT InsertMany(LONG lCount, const LONG* plIndexes, const BSTR* psFortunes,
                       LONG lFlags) override;

    // ISupportErrorInfo: S_OK for IFortune and IFortuneBatch.
    HRESULT InterfaceSupportsErrorInfo(const GUID& iid) override;

private:
    // The object's own IUnknown: owns the reference count.
    class CInnerUnknown final : public IUnknown {
    public:
        explicit CInnerUnknown(CFortune& owner) : m_owner(owner) {}
        HRESULT QueryInterface(const GUID& iid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;

    private:
        CFortune& m_owner;
        ULONG m_refs = 0;
    };

    explicit CFortune(IUnknown* outer);
    ~CFortune();

    // Runs a reading operation; its result reaches *out only on success.
    template <typename Read> static HRESULT GuardedRead(BSTR* out, Read&& read) noexcept;

    CInnerUnknown m_inner{*this};
    IUnknown* m_outer; // the controlling unknown: the outer object or m_inner
    CArchive m_archive;
};

} // namespace zrv
