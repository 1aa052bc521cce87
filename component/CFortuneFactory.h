#pragma once

// The class factory of Fortune. The module creates one and keeps it for as
// long as the library is loaded; its locks count in the module's lock count.

#include "runtime/com/ComPtr.h"

#include <atomic>

namespace zrv {

class CFortuneFactory final : public IClassFactory {
public:
    static HRESULT Create(ComPtr<IClassFactory>& factory);

    CFortuneFactory(const CFortuneFactory&) = delete;
    CFortuneFactory& operator=(const CFortuneFactory&) = delete;

    HRESULT QueryInterface(const GUID& iid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override;
    HRESULT LockServer(int32_t lock) override;

private:
    CFortuneFactory() = default;
    ~CFortuneFactory() = default;

    std::atomic<ULONG> m_refs{0};
};

} // namespace zrv
