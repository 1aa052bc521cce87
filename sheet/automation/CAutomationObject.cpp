#include "sheet/automation/CAutomationObject.h"

#include "runtime/com/CaughtFailure.h"
#include "runtime/com/ComPtr.h"
#include "sheet/model/DispatchError.h"
#include "sheet/model/WideText.h"

#include <exception>
#include <new>

namespace zrv::sheet {

namespace {

constexpr char16_t kSource[] = u"zrvsheet";

// The thread's error information and, when the caller gave one, EXCEPINFO.
void Report(const DispatchError& error, EXCEPINFO* excepInfo)
{
    std::u16string description;
    try {
        description = FromUtf8(error.description);
    } catch (...) {
        description = u"Unknown error";
    }
    if (excepInfo) {
        *excepInfo = EXCEPINFO{};
        excepInfo->bstrSource = SysAllocString(kSource);
        excepInfo->bstrDescription =
            SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
        excepInfo->scode = error.scode;
    }
    com::SetErrorDescription(description, IID_IDispatch, kSource);
}

} // namespace

void ThrowMemberNotFound()
{
    throw DispatchError{DISP_E_MEMBERNOTFOUND, {}, 0};
}

HRESULT CAutomationObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0; // no type information: callers bind by name
    return S_OK;
}

HRESULT CAutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT CAutomationObject::GetIDsOfNames(const GUID& iid, OLECHAR** names, UINT count, LCID,
                                         DISPID* ids)
{
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (count == 0)
        return S_OK;
    if (!names || !ids)
        return E_POINTER;
    HRESULT result = S_OK;
    if (!names[0] || !FindMember(names[0], ids[0])) {
        ids[0] = DISPID_UNKNOWN;
        result = DISP_E_UNKNOWNNAME;
    }
    // Members take no named arguments.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

HRESULT CAutomationObject::Invoke(DISPID id, const GUID& iid, LCID, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT |
                  DISPATCH_PROPERTYPUTREF)) == 0)
        return E_INVALIDARG;
    static const DISPPARAMS kNoArguments{nullptr, nullptr, 0, 0};
    if (result)
        VariantInit(result);
    // Keeps this object alive while a member runs, whatever the caller does.
    const ComPtr<IDispatch> self(this);
    try {
        CDispatchCall call(flags, params ? *params : kNoArguments, result);
        CallMember(id, call);
        return S_OK;
    } catch (const DispatchError& error) {
        if (result)
            VariantClear(result);
        if (argErr && (error.result == DISP_E_TYPEMISMATCH || error.result == DISP_E_OVERFLOW))
            *argErr = error.argument;
        if (error.result == DISP_E_EXCEPTION)
            Report(error, excepInfo);
        return error.result;
    } catch (const std::bad_alloc&) {
        if (result)
            VariantClear(result);
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        if (result)
            VariantClear(result);
        Report(DispatchError{DISP_E_EXCEPTION, error.what(), 0, E_FAIL}, excepInfo);
        return DISP_E_EXCEPTION;
    }
}

HRESULT CAutomationObject::InterfaceSupportsErrorInfo(const GUID& iid)
{
    return iid == IID_IDispatch ? S_OK : S_FALSE;
}

} // namespace zrv::sheet
