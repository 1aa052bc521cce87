#include "sheet/automation/CDispatchCall.h"

#include "sheet/model/DispatchError.h"

#include <new>

namespace zrv::sheet {

namespace {

const VARIANT& Followed(const VARIANT& value)
{
    if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal)
        return Followed(*value.pvarVal);
    return value;
}

bool IsOmitted(const VARIANT& value)
{
    const VARIANT& v = Followed(value);
    return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

[[noreturn]] void Throw(HRESULT result, UINT argument = 0)
{
    throw DispatchError{result, {}, argument};
}

} // namespace

CDispatchCall::CDispatchCall(WORD flags, const DISPPARAMS& params, VARIANT* result)
    : m_params(params), m_result(result),
      m_put((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0)
{
    if (params.cArgs > 0 && !params.rgvarg)
        Throw(E_INVALIDARG);
    if (params.cNamedArgs > params.cArgs)
        Throw(E_INVALIDARG);
    if (m_put) {
        // The value is rgvarg[0], named DISPID_PROPERTYPUT or not.
        if (params.cArgs == 0)
            Throw(DISP_E_BADPARAMCOUNT);
        if (params.cNamedArgs > 1 ||
            (params.cNamedArgs == 1 &&
             (!params.rgdispidNamedArgs || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)))
            Throw(DISP_E_NONAMEDARGS);
        m_first = 1;
    } else if (params.cNamedArgs > 0) {
        Throw(DISP_E_NONAMEDARGS);
    }
    m_count = params.cArgs - m_first;
    while (m_count > 0 && IsOmitted(params.rgvarg[m_first]))
        ++m_first, --m_count;
}

void CDispatchCall::ExpectArgs(UINT min, UINT max) const
{
    if (m_count < min || m_count > max)
        Throw(DISP_E_BADPARAMCOUNT);
}

const VARIANT& CDispatchCall::Arg(UINT index) const
{
    if (index >= m_count)
        Throw(DISP_E_BADPARAMCOUNT);
    return Followed(m_params.rgvarg[RgIndex(index)]);
}

VARIANT CDispatchCall::Converted(const VARIANT& value, UINT rgIndex, VARTYPE vt) const
{
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, &value, 0, vt);
    if (hr == E_OUTOFMEMORY)
        throw std::bad_alloc();
    if (FAILED(hr))
        Throw(hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH, rgIndex);
    return converted;
}

std::u16string CDispatchCall::TextArg(UINT index) const
{
    VARIANT text = Converted(Arg(index), RgIndex(index), VT_BSTR);
    std::u16string result(text.bstrVal ? text.bstrVal : u"", SysStringLen(text.bstrVal));
    VariantClear(&text);
    return result;
}

LONG CDispatchCall::LongArg(UINT index) const
{
    return Converted(Arg(index), RgIndex(index), VT_I4).lVal;
}

const VARIANT& CDispatchCall::PutValue() const
{
    if (!m_put)
        Throw(DISP_E_BADPARAMCOUNT);
    return Followed(m_params.rgvarg[0]);
}

double CDispatchCall::PutDouble() const
{
    return Converted(PutValue(), 0, VT_R8).dblVal;
}

bool CDispatchCall::PutBool() const
{
    return Converted(PutValue(), 0, VT_BOOL).boolVal != VARIANT_FALSE;
}

LONG CDispatchCall::PutLong() const
{
    return Converted(PutValue(), 0, VT_I4).lVal;
}

void CDispatchCall::ReturnBool(bool value)
{
    if (m_result) {
        m_result->vt = VT_BOOL;
        m_result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
}

void CDispatchCall::ReturnLong(LONG value)
{
    if (m_result) {
        m_result->vt = VT_I4;
        m_result->lVal = value;
    }
}

void CDispatchCall::ReturnDouble(double value)
{
    if (m_result) {
        m_result->vt = VT_R8;
        m_result->dblVal = value;
    }
}

void CDispatchCall::ReturnText(std::u16string_view text)
{
    if (!m_result)
        return;
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!copy)
        throw std::bad_alloc();
    ReturnBstr(copy);
}

void CDispatchCall::ReturnBstr(BSTR text)
{
    if (!m_result) {
        SysFreeString(text);
        return;
    }
    m_result->vt = VT_BSTR;
    m_result->bstrVal = text;
}

void CDispatchCall::ReturnObject(ComPtr<IDispatch> object)
{
    if (m_result) {
        m_result->vt = VT_DISPATCH;
        m_result->pdispVal = object.detach();
    }
}

void CDispatchCall::ReturnVariant(VARIANT& value)
{
    if (m_result)
        *m_result = value;
    else
        VariantClear(&value);
    VariantInit(&value);
}

} // namespace zrv::sheet
