#pragma once

// IFortuneSnapshot over an engine snapshot: the texts live in the object,
// which holds a module lock while it lives.

#include "component/CModule.h"
#include "component/IFortune.h"
#include "engine/CArchiveSnapshot.h"
#include "runtime/com/CUnknown.h"

namespace zrv {

class CFortuneSnapshot final
    : public com::CUnknown<CFortuneSnapshot, com::Face<IFortuneSnapshot, IID_IFortuneSnapshot>> {
public:
    // A new object holding `snapshot`, with one reference; E_OUTOFMEMORY when
    // it cannot be allocated.
    static HRESULT Create(CArchiveSnapshot snapshot, IFortuneSnapshot** ppSnapshot);

    CFortuneSnapshot(const CFortuneSnapshot&) = delete;
    CFortuneSnapshot& operator=(const CFortuneSnapshot&) = delete;

    HRESULT Count(LONG* plCount) override;
    HRESULT get_Item(LONG vlIndex, BSTR* rsFortune) override;
    HRESULT get_Header(BSTR* pVal) override;
    HRESULT get_StoredItem(LONG vlIndex, BSTR* rsFortune) override;
    HRESULT get_StoredHeader(BSTR* pVal) override;

private:
    friend CUnknown;
    explicit CFortuneSnapshot(CArchiveSnapshot snapshot);
    ~CFortuneSnapshot() = default;

    com::CModuleLock<CModule> m_moduleLock;
    CArchiveSnapshot m_snapshot;
};

} // namespace zrv
