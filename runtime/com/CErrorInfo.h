#pragma once

#include "runtime/com/CUnknown.h"
#include "runtime/com/OleAuto.h"

#include <string>

namespace zrv::com {

// The error-information object of CreateErrorInfo: filled through
// ICreateErrorInfo, read through IErrorInfo. It may travel between threads, so
// its reference count is atomic.
class CErrorInfo final : public CUnknown<CErrorInfo, Face<IErrorInfo, IID_IErrorInfo>,
                                         Face<ICreateErrorInfo, IID_ICreateErrorInfo>> {
public:
    CErrorInfo() = default;
    CErrorInfo(const CErrorInfo&) = delete;
    CErrorInfo& operator=(const CErrorInfo&) = delete;

    HRESULT GetGUID(GUID* guid) override;
    HRESULT GetSource(BSTR* source) override;
    HRESULT GetDescription(BSTR* description) override;
    HRESULT GetHelpFile(BSTR* helpFile) override;
    HRESULT GetHelpContext(DWORD* helpContext) override;

    HRESULT SetGUID(const GUID& guid) override;
    HRESULT SetSource(LPOLESTR source) override;
    HRESULT SetDescription(LPOLESTR description) override;
    HRESULT SetHelpFile(LPOLESTR helpFile) override;
    HRESULT SetHelpContext(DWORD helpContext) override;

private:
    friend CUnknown;
    ~CErrorInfo() = default;

    GUID m_guid{};
    std::u16string m_source;
    std::u16string m_description;
    std::u16string m_helpFile;
    DWORD m_helpContext = 0;
};

} // namespace zrv::com
