#pragma once

// IFortuneSnapshot over an engine snapshot: the texts live in the object,
// which holds a module lock while it lives.

#include "component/IFortune.h"
#include "engine/CArchiveSnapshot.h"

namespace zrv {

class CFortuneSnapshot final : public IFortuneSnapshot {
public:
    // A new object holding `snapshot`, with one reference; E_OUTOFMEMORY when
    // it cannot be allocated.
    static HRESULT Create(CArchiveSnapshot snapshot, IFortuneSnapshot** ppSnapshot);

    CFortuneSnapshot(const CFortuneSnapshot&) = delete;
    CFortuneSnapshot& operator=(const CFortuneSnapshot&) = delete;

    HRESULT QueryInterface(const GUID& iid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Count(LONG* plCount) override;
    HRESULT get_Item(LONG vlIndex, BSTR* rsFortune) override;
    HRESULT get_Header(BSTR* pVal) override;

private:
    explicit CFortuneSnapshot(CArchiveSnapshot snapshot);
    ~CFortuneSnapshot();

    CArchiveSnapshot m_snapshot;
    ULONG m_refs = 1;
};

} // namespace zrv
