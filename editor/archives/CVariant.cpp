#include "editor/archives/CVariant.h"

CVariant CVariant::Text(const QString& vsText)
{
    CVariant result;
    result.mValue.vt = VT_BSTR;
    result.mValue.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(vsText.utf16()),
                                              static_cast<UINT>(vsText.size()));
    return result;
}

CVariant CVariant::Long(int32_t vlValue)
{
    CVariant result;
    result.mValue.vt = VT_I4;
    result.mValue.lVal = vlValue;
    return result;
}

CVariant CVariant::Double(double vdValue)
{
    CVariant result;
    result.mValue.vt = VT_R8;
    result.mValue.dblVal = vdValue;
    return result;
}

CVariant CVariant::Bool(bool vbValue)
{
    CVariant result;
    result.mValue.vt = VT_BOOL;
    result.mValue.boolVal = vbValue ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
}

ComPtr<IDispatch> CVariant::Object() const
{
    if (mValue.vt == VT_DISPATCH)
        return ComPtr<IDispatch>(mValue.pdispVal);
    if (mValue.vt == VT_UNKNOWN && mValue.punkVal != nullptr) {
        ComPtr<IDispatch> object;
        if (SUCCEEDED(mValue.punkVal->QueryInterface(IID_IDispatch, object.putVoid())))
            return object;
    }
    return {};
}
