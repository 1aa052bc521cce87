// VariantChangeType for the kinds the system converts: numbers, dates and
// booleans to text, text to numbers and booleans, numbers among each other.

#include "runtime/com/ComPtr.h"
#include "runtime/com/NumberText.h"
#include "runtime/com/OleAuto.h"
#include "runtime/com/Transcode.h"
#include "runtime/com/VariantTime.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <variant>

namespace {

using zrv::com::FormatNumber;

// A source value reduced to what numeric conversion needs: exact integers
// stay integers, everything else is a double.
using Number = std::variant<int64_t, double>;

struct Range {
    double low;
    double high;
};

bool IsIntegerType(VARTYPE vt)
{
    switch (vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
        return true;
    default:
        return false;
    }
}

Range RangeOf(VARTYPE vt)
{
    switch (vt) {
    case VT_I1:
        return {-128.0, 127.0};
    case VT_UI1:
        return {0.0, 255.0};
    case VT_I2:
        return {-32768.0, 32767.0};
    case VT_UI2:
        return {0.0, 65535.0};
    case VT_I4:
    case VT_INT:
        return {-2147483648.0, 2147483647.0};
    case VT_UI4:
    case VT_UINT:
        return {0.0, 4294967295.0};
    case VT_I8:
        return {-9223372036854775808.0, 9223372036854775807.0};
    default:
        return {0.0, 18446744073709551615.0};
    }
}

// The value of a by-value source as a number.
HRESULT NumberOf(const VARIANT& v, Number& out)
{
    switch (v.vt) {
    case VT_EMPTY:
        out = int64_t{0};
        return S_OK;
    case VT_BOOL:
        out = int64_t{v.boolVal ? -1 : 0};
        return S_OK;
    case VT_I1:
        out = int64_t{static_cast<signed char>(v.cVal)};
        return S_OK;
    case VT_UI1:
        out = int64_t{v.bVal};
        return S_OK;
    case VT_I2:
        out = int64_t{v.iVal};
        return S_OK;
    case VT_UI2:
        out = int64_t{v.uiVal};
        return S_OK;
    case VT_I4:
        out = int64_t{v.lVal};
        return S_OK;
    case VT_INT:
        out = int64_t{v.intVal};
        return S_OK;
    case VT_UI4:
        out = int64_t{v.ulVal};
        return S_OK;
    case VT_UINT:
        out = int64_t{v.uintVal};
        return S_OK;
    case VT_I8:
        out = v.llVal;
        return S_OK;
    case VT_UI8:
        if (v.ullVal <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            out = static_cast<int64_t>(v.ullVal);
        else
            out = static_cast<double>(v.ullVal);
        return S_OK;
    case VT_R4:
        out = double{v.fltVal};
        return S_OK;
    case VT_R8:
        out = v.dblVal;
        return S_OK;
    case VT_DATE:
        out = v.date;
        return S_OK;
    case VT_BSTR: {
        const auto parsed = zrv::com::ParseNumber(
            std::u16string_view(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal)));
        if (!parsed)
            return DISP_E_TYPEMISMATCH;
        if (std::isinf(*parsed))
            return DISP_E_OVERFLOW;
        out = *parsed;
        return S_OK;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

void StoreInteger(VARIANT& out, VARTYPE vt, int64_t value)
{
    out.vt = vt;
    switch (vt) {
    case VT_I1:
        out.cVal = static_cast<char>(value);
        break;
    case VT_UI1:
        out.bVal = static_cast<BYTE>(value);
        break;
    case VT_I2:
        out.iVal = static_cast<SHORT>(value);
        break;
    case VT_UI2:
        out.uiVal = static_cast<USHORT>(value);
        break;
    case VT_I4:
        out.lVal = static_cast<LONG>(value);
        break;
    case VT_INT:
        out.intVal = static_cast<INT>(value);
        break;
    case VT_UI4:
        out.ulVal = static_cast<ULONG>(value);
        break;
    case VT_UINT:
        out.uintVal = static_cast<UINT>(value);
        break;
    case VT_I8:
        out.llVal = value;
        break;
    default:
        out.ullVal = static_cast<uint64_t>(value);
        break;
    }
}

HRESULT ToInteger(const Number& number, VARTYPE vt, VARIANT& out)
{
    const Range range = RangeOf(vt);
    if (const auto* exact = std::get_if<int64_t>(&number)) {
        const auto value = static_cast<double>(*exact);
        if (value < range.low || value > range.high)
            return DISP_E_OVERFLOW;
        StoreInteger(out, vt, *exact);
        return S_OK;
    }
    const double rounded = zrv::com::RoundHalfEven(std::get<double>(number));
    // The upper bounds of 64-bit types are not doubles: compare below them.
    const bool tooHigh =
        (vt == VT_I8 || vt == VT_UI8) ? rounded >= range.high : rounded > range.high;
    if (std::isnan(rounded) || rounded < range.low || tooHigh)
        return DISP_E_OVERFLOW;
    if (vt == VT_UI8)
        StoreInteger(out, vt, static_cast<int64_t>(static_cast<uint64_t>(rounded)));
    else
        StoreInteger(out, vt, static_cast<int64_t>(rounded));
    return S_OK;
}

double AsDouble(const Number& number)
{
    if (const auto* exact = std::get_if<int64_t>(&number))
        return static_cast<double>(*exact);
    return std::get<double>(number);
}

bool EqualsNoCase(std::u16string_view text, std::u16string_view word)
{
    if (text.size() != word.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + 32 : text[i];
        if (c != word[i])
            return false;
    }
    return true;
}

HRESULT ToBool(const VARIANT& src, VARIANT& out)
{
    if (src.vt == VT_BSTR) {
        const std::u16string_view text(src.bstrVal ? src.bstrVal : u"", SysStringLen(src.bstrVal));
        if (EqualsNoCase(text, u"true") || EqualsNoCase(text, u"false")) {
            out.vt = VT_BOOL;
            out.boolVal = EqualsNoCase(text, u"true") ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
    }
    Number number;
    const HRESULT hr = NumberOf(src, number);
    if (FAILED(hr))
        return hr;
    out.vt = VT_BOOL;
    out.boolVal = AsDouble(number) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ToDouble(const VARIANT& src, VARTYPE vt, VARIANT& out)
{
    Number number;
    const HRESULT hr = NumberOf(src, number);
    if (FAILED(hr))
        return hr;
    const double value = AsDouble(number);
    out.vt = vt;
    if (vt == VT_R4) {
        if (std::fabs(value) > FLT_MAX)
            return DISP_E_OVERFLOW;
        out.fltVal = static_cast<float>(value);
    } else if (vt == VT_DATE) {
        SYSTEMTIME probe{};
        if (!VariantTimeToSystemTime(value, &probe))
            return DISP_E_OVERFLOW;
        out.date = value;
    } else {
        out.dblVal = value;
    }
    return S_OK;
}

// The text form of a by-value source.
HRESULT TextOf(const VARIANT& src, USHORT flags, std::string& text)
{
    switch (src.vt) {
    case VT_EMPTY:
        text.clear();
        return S_OK;
    case VT_BOOL:
        if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL))
            text = src.boolVal ? "True" : "False";
        else
            text = src.boolVal ? "-1" : "0";
        return S_OK;
    case VT_R4:
        text = FormatNumber(src.fltVal, 7);
        return S_OK;
    case VT_R8:
        text = FormatNumber(src.dblVal, 15);
        return S_OK;
    case VT_DATE: {
        const auto date = zrv::com::FormatDate(src.date);
        if (!date)
            return DISP_E_OVERFLOW;
        text = *date;
        return S_OK;
    }
    default:
        break;
    }
    Number number;
    if (!IsIntegerType(src.vt) || FAILED(NumberOf(src, number)))
        return DISP_E_TYPEMISMATCH;
    text = std::holds_alternative<int64_t>(number) ? std::to_string(std::get<int64_t>(number))
                                                   : std::to_string(src.ullVal);
    return S_OK;
}

HRESULT ToText(const VARIANT& src, USHORT flags, VARIANT& out)
{
    if (src.vt == VT_BSTR) {
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(src.bstrVal, SysStringLen(src.bstrVal));
        return out.bstrVal ? S_OK : E_OUTOFMEMORY;
    }
    std::string text;
    const HRESULT hr = TextOf(src, flags, text);
    if (FAILED(hr))
        return hr;
    const std::u16string wide = zrv::com::FromUtf8(text);
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return out.bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToInterface(const VARIANT& src, VARTYPE vt, VARIANT& out)
{
    if (src.vt != VT_UNKNOWN && src.vt != VT_DISPATCH && src.vt != VT_EMPTY)
        return DISP_E_TYPEMISMATCH;
    out.vt = vt;
    out.punkVal = nullptr;
    if (src.vt == VT_EMPTY || !src.punkVal)
        return S_OK;
    void* p = nullptr;
    const HRESULT hr =
        src.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &p);
    if (FAILED(hr))
        return DISP_E_TYPEMISMATCH;
    out.punkVal = static_cast<IUnknown*>(p);
    return S_OK;
}

// Builds in out (empty on entry) the value of the by-value source src as vt.
HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT& out)
{
    if (src.vt == vt || vt == VT_VARIANT)
        return VariantCopy(&out, &src);
    if (src.vt == VT_NULL)
        return DISP_E_TYPEMISMATCH;
    if (IsIntegerType(vt)) {
        Number number;
        const HRESULT hr = NumberOf(src, number);
        return FAILED(hr) ? hr : ToInteger(number, vt, out);
    }
    switch (vt) {
    case VT_EMPTY:
        return S_OK;
    case VT_BSTR:
        return ToText(src, flags, out);
    case VT_BOOL:
        return ToBool(src, out);
    case VT_R4:
    case VT_R8:
    case VT_DATE:
        return ToDouble(src, vt, out);
    case VT_UNKNOWN:
    case VT_DISPATCH:
        return ToInterface(src, vt, out);
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

// An object converts through its default (DISPID_VALUE) property.
bool WantsDefaultValue(const VARIANT& src, USHORT flags, VARTYPE vt)
{
    return src.vt == VT_DISPATCH && !(flags & VARIANT_NOVALUEPROP) && vt != VT_DISPATCH &&
           vt != VT_UNKNOWN && vt != VT_VARIANT && vt != VT_EMPTY;
}

HRESULT ReplaceByDefaultValue(VARIANT& value)
{
    if (!value.pdispVal)
        return DISP_E_TYPEMISMATCH;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT fetched;
    VariantInit(&fetched);
    const HRESULT hr =
        value.pdispVal->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                               &none, &fetched, nullptr, nullptr);
    if (FAILED(hr)) {
        VariantClear(&fetched);
        return DISP_E_TYPEMISMATCH;
    }
    VariantClear(&value);
    value = fetched;
    return S_OK;
}

// Bytes a by-reference value of type vt occupies; 0 for unsupported types.
size_t ValueSize(VARTYPE vt)
{
    switch (vt) {
    case VT_I1:
    case VT_UI1:
        return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
        return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
    case VT_R4:
        return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_DATE:
        return 8;
    case VT_BSTR:
    case VT_UNKNOWN:
    case VT_DISPATCH:
        return sizeof(void*);
    default:
        return 0;
    }
}

} // namespace

extern "C" {

ZRVRT_API HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (!(src->vt & VT_BYREF))
        return VariantCopy(dest, src);
    const VARTYPE vt = src->vt & ~VT_BYREF;
    if (!src->byref)
        return E_INVALIDARG;
    if (vt == VT_VARIANT)
        return VariantCopyInd(dest, src->pvarVal);
    const size_t size = ValueSize(vt);
    if (size == 0)
        return DISP_E_BADVARTYPE;
    VARIANT value;
    VariantInit(&value);
    value.vt = vt;
    std::memcpy(&value.llVal, src->byref, size);
    // value borrows; VariantCopy takes its own copy of strings and references.
    VARIANT copy;
    VariantInit(&copy);
    const HRESULT hr = VariantCopy(&copy, &value);
    if (FAILED(hr))
        return hr;
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

ZRVRT_API HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (vt & (VT_BYREF | VT_ARRAY))
        return DISP_E_BADVARTYPE;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantCopyInd(&value, src);
    if (SUCCEEDED(hr) && WantsDefaultValue(value, flags, vt))
        hr = ReplaceByDefaultValue(value);
    if (FAILED(hr)) {
        VariantClear(&value);
        return hr;
    }
    VARIANT result;
    VariantInit(&result);
    hr = Convert(value, flags, vt, result);
    VariantClear(&value);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

ZRVRT_API HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID, USHORT flags,
                                      VARTYPE vt)
{
    return VariantChangeType(dest, src, flags, vt);
}

} // extern "C"
