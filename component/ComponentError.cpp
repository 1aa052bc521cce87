#include "component/ComponentError.h"

#include "component/AnsiText.h"
#include "component/IFortune.h"
#include "engine/CArchiveError.h"
#include "runtime/com/ComPtr.h"

namespace zrv {

HRESULT ReportError(HRESULT hr, const char16_t* description, const GUID& iid) noexcept
{
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetGUID(iid);
        create->SetDescription(const_cast<LPOLESTR>(description));
        // The source is the ProgID registered for the class; none when unregistered.
        LPOLESTR progId = nullptr;
        if (SUCCEEDED(ProgIDFromCLSID(CLSID_Fortune, &progId)))
            create->SetSource(progId);
        CoTaskMemFree(progId);
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.queryInterface(IID_IErrorInfo, info)))
            SetErrorInfo(0, info.get());
    }
    return hr;
}

HRESULT ReportCaughtException(const GUID& iid) noexcept
{
    try {
        throw;
    } catch (const CArchiveError& error) {
        try {
            // The engine's reasons are ASCII.
            const std::u16string reason = ToWide(error.what());
            const bool invalid = error.GetKind() != CArchiveError::Kind::Failed;
            return ReportError(invalid ? E_INVALIDARG : E_FAIL, reason.c_str(), iid);
        } catch (...) {
            return ReportError(E_FAIL, u"Unknown error", iid);
        }
    } catch (...) {
        return ReportError(DISP_E_EXCEPTION, u"Unknown error", GUID_NULL);
    }
}

} // namespace zrv
