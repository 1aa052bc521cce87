#pragma once

// The class factory of Fortune. The module creates one and keeps it for as
// long as the library is loaded; its locks count in the module's lock count.

#include "runtime/com/ComPtr.h"
#include "runtime/com/CUnknown.h"

namespace zrv {

class CFortuneFactory final
    : public com::CUnknown<CFortuneFactory, com::Face<IClassFactory, IID_IClassFactory>> {
public:
    static HRESULT Create(ComPtr<IClassFactory>& factory);

    CFortuneFactory(const CFortuneFactory&) = delete;
    CFortuneFactory& operator=(const CFortuneFactory&) = delete;

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override;
    HRESULT LockServer(int32_t lock) override;

private:
    friend CUnknown;
    CFortuneFactory() = default;
    ~CFortuneFactory() = default;
};

} // namespace zrv
