#pragma once

// The arguments and result of one IDispatch::Invoke, seen by a member: the
// positional arguments in the caller's order (the value of a property put kept
// apart, omitted optional arguments at the end dropped), converted on demand.
// Every accessor throws DispatchError: DISP_E_BADPARAMCOUNT,
// DISP_E_TYPEMISMATCH (with the argument's rgvarg index) or DISP_E_NONAMEDARGS.

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"

#include <string>
#include <string_view>

namespace zrv::sheet {

class CDispatchCall final {
public:
    CDispatchCall(WORD flags, const DISPPARAMS& params, VARIANT* result);

    bool IsPut() const { return m_put; }

    // Fails with DISP_E_BADPARAMCOUNT unless min <= count <= max.
    void ExpectArgs(UINT min, UINT max) const;
    UINT ArgCount() const { return m_count; }
    // The argument as the caller passed it, by-reference values followed.
    const VARIANT& Arg(UINT index) const;
    bool IsText(UINT index) const { return Arg(index).vt == VT_BSTR; }
    std::u16string TextArg(UINT index) const;
    LONG LongArg(UINT index) const;

    const VARIANT& PutValue() const;
    double PutDouble() const;
    bool PutBool() const;
    LONG PutLong() const;

    // The result, when the caller asked for one.
    void ReturnBool(bool value);
    void ReturnLong(LONG value);
    void ReturnDouble(double value);
    void ReturnText(std::u16string_view text);
    // Takes over a BSTR allocated with SysAlloc*.
    void ReturnBstr(BSTR text);
    void ReturnObject(ComPtr<IDispatch> object);
    // Takes over what value owns.
    void ReturnVariant(VARIANT& value);

private:
    UINT RgIndex(UINT index) const { return m_first + m_count - 1 - index; }
    VARIANT Converted(const VARIANT& value, UINT rgIndex, VARTYPE vt) const;

    const DISPPARAMS& m_params;
    VARIANT* m_result;
    bool m_put = false;
    UINT m_first = 0; // rgvarg index of the last positional argument
    UINT m_count = 0;
};

} // namespace zrv::sheet
