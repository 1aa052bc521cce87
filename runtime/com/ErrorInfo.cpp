// The error information of each thread.

#include "runtime/com/CErrorInfo.h"
#include "runtime/com/ComPtr.h"

#include <new>

namespace {

thread_local ComPtr<IErrorInfo> t_errorInfo;

} // namespace

extern "C" {

ZRVRT_API HRESULT CreateErrorInfo(ICreateErrorInfo** info)
{
    if (!info)
        return E_INVALIDARG;
    auto* created = new (std::nothrow) zrv::com::CErrorInfo;
    *info = created;
    return created ? S_OK : E_OUTOFMEMORY;
}

ZRVRT_API HRESULT SetErrorInfo(ULONG, IErrorInfo* info)
{
    t_errorInfo = ComPtr<IErrorInfo>(info);
    return S_OK;
}

ZRVRT_API HRESULT GetErrorInfo(ULONG, IErrorInfo** info)
{
    if (!info)
        return E_INVALIDARG;
    *info = t_errorInfo.detach();
    return *info ? S_OK : S_FALSE;
}

} // extern "C"
