#include "runtime/com/CInvocation.h"

#include "runtime/com/ComPtr.h"
#include "runtime/com/VtableCall.h"

#include <cstring>

namespace zrv::com {

namespace {

size_t InParamCount(const TlbMember& member)
{
    size_t count = 0;
    for (const TlbParam& p : member.params)
        count += p.isRetval() ? 0 : 1;
    return count;
}

// The word a converted in-argument travels as; false for types no call
// shape carries.
bool WordOf(const VARIANT& v, intptr_t& word)
{
    switch (v.vt) {
    case VT_I1:
        word = static_cast<signed char>(v.cVal);
        return true;
    case VT_UI1:
        word = v.bVal;
        return true;
    case VT_I2:
        word = v.iVal;
        return true;
    case VT_UI2:
        word = v.uiVal;
        return true;
    case VT_BOOL:
        word = v.boolVal;
        return true;
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
        word = v.lVal;
        return true;
    case VT_UI4:
    case VT_UINT:
        word = static_cast<intptr_t>(v.ulVal);
        return true;
    case VT_I8:
    case VT_UI8:
        word = static_cast<intptr_t>(v.llVal);
        return true;
    case VT_BSTR:
        word = reinterpret_cast<intptr_t>(v.bstrVal);
        return true;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        word = reinterpret_cast<intptr_t>(v.punkVal);
        return true;
    default:
        return false;
    }
}

void FillException(EXCEPINFO* excepInfo, HRESULT hr)
{
    std::memset(excepInfo, 0, sizeof *excepInfo);
    excepInfo->scode = hr;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return;
    info->GetSource(&excepInfo->bstrSource);
    info->GetDescription(&excepInfo->bstrDescription);
    info->GetHelpFile(&excepInfo->bstrHelpFile);
    info->GetHelpContext(&excepInfo->dwHelpContext);
}

} // namespace

CInvocation::CInvocation(const TlbMember& member, const DISPPARAMS& params)
    : m_member(member), m_params(params)
{
    VariantInit(&m_retval);
    m_converted.reserve(member.params.size());
}

CInvocation::~CInvocation()
{
    for (VARIANT& v : m_converted)
        VariantClear(&v);
    VariantClear(&m_retval);
}

HRESULT CInvocation::mapArguments(std::vector<int>& sources, UINT* argErr) const
{
    const size_t inCount = InParamCount(m_member);
    const UINT named = m_params.cNamedArgs;
    if (named > m_params.cArgs || m_params.cArgs > inCount ||
        (named && !m_params.rgdispidNamedArgs))
        return DISP_E_BADPARAMCOUNT;
    sources.assign(inCount, -1);
    const UINT positional = m_params.cArgs - named;
    for (UINT i = 0; i < positional; ++i)
        sources[i] = static_cast<int>(m_params.cArgs - 1 - i);
    for (UINT j = 0; j < named; ++j) {
        const DISPID id = m_params.rgdispidNamedArgs[j];
        const bool putValue = id == DISPID_PROPERTYPUT &&
                              (m_member.kind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF));
        const size_t target = putValue ? inCount - 1 : static_cast<size_t>(id);
        if ((!putValue && (id < 0 || target >= inCount)) || sources[target] != -1) {
            if (argErr)
                *argErr = j;
            return DISP_E_PARAMNOTFOUND;
        }
        sources[target] = static_cast<int>(j);
    }
    for (const int source : sources) {
        if (source < 0)
            return DISP_E_BADPARAMCOUNT;
    }
    return S_OK;
}

HRESULT CInvocation::bindIn(const TlbParam& param, const VARIANT& arg, intptr_t& word)
{
    if (param.isOut()) {
        // A caller's own storage: it must already have the parameter's type.
        if (arg.vt != (VT_BYREF | param.vt) || !arg.byref)
            return DISP_E_TYPEMISMATCH;
        word = reinterpret_cast<intptr_t>(arg.byref);
        return S_OK;
    }
    VARIANT& converted = m_converted.emplace_back();
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, &arg, 0, param.vt);
    if (hr == DISP_E_OVERFLOW)
        return hr;
    if (FAILED(hr))
        return DISP_E_TYPEMISMATCH;
    return WordOf(converted, word) ? S_OK : DISP_E_BADVARTYPE;
}

HRESULT CInvocation::bindArguments(UINT* argErr)
{
    std::vector<int> sources;
    HRESULT hr = mapArguments(sources, argErr);
    if (FAILED(hr))
        return hr;
    if (m_member.params.size() > kMaxSlotArgs)
        return DISP_E_BADPARAMCOUNT;
    size_t in = 0;
    for (const TlbParam& param : m_member.params) {
        intptr_t word = 0;
        if (param.isRetval()) {
            m_retvalParam = &param;
            word = reinterpret_cast<intptr_t>(&m_retval.llVal);
        } else {
            const int source = sources[in++];
            hr = bindIn(param, m_params.rgvarg[source], word);
            if (FAILED(hr)) {
                if (argErr)
                    *argErr = static_cast<UINT>(source);
                return hr;
            }
        }
        m_words.push_back(word);
    }
    return S_OK;
}

void CInvocation::deliverResult(VARIANT* result)
{
    if (m_retvalParam)
        m_retval.vt = m_retvalParam->vt;
    if (!result)
        return;
    VariantInit(result);
    if (m_retvalParam) {
        *result = m_retval;
        VariantInit(&m_retval);
    }
}

HRESULT CInvocation::run(void* instance, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    if (!instance || (m_params.cArgs && !m_params.rgvarg))
        return E_INVALIDARG;
    HRESULT hr = bindArguments(argErr);
    if (FAILED(hr))
        return hr;
    hr = CallSlot(instance, m_member.slot, m_words.data(), m_words.size());
    if (FAILED(hr)) {
        if (excepInfo)
            FillException(excepInfo, hr);
        return DISP_E_EXCEPTION;
    }
    deliverResult(result);
    return S_OK;
}

} // namespace zrv::com
