#pragma once

// The class factory of the Application: every CreateInstance starts a new,
// invisible application with no workbooks.

#include "runtime/com/ComPtr.h"

#include <atomic>

namespace zrv::sheet {

class CApplicationFactory final : public IClassFactory {
public:
    static HRESULT Create(ComPtr<IClassFactory>& factory);

    CApplicationFactory(const CApplicationFactory&) = delete;
    CApplicationFactory& operator=(const CApplicationFactory&) = delete;

    HRESULT QueryInterface(const GUID& iid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override;
    HRESULT LockServer(int32_t lock) override;

private:
    CApplicationFactory() = default;
    ~CApplicationFactory() = default;

    std::atomic<ULONG> m_refs{0};
};

} // namespace zrv::sheet
