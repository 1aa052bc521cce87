#include "component/CModule.h"

#include "component/AnsiText.h"
#include "runtime/com/CaughtFailure.h"

namespace zrv {

namespace {

constexpr char16_t kSource[] = u"ZorvaFortune.Fortune";

HRESULT LoadOwnTypeLib(ComPtr<ITypeLib>& lib)
{
    try {
        return LoadTypeLib(ToWide(CModule::FilePath()).c_str(), lib.put());
    } catch (...) {
        return com::CaughtFailure(IID_IDispatch, kSource);
    }
}

} // namespace

HRESULT CModule::GetFortuneTypeInfo(ComPtr<ITypeInfo>& info)
{
    const std::lock_guard guard(m_typeInfoLock);
    if (!m_typeInfo) {
        ComPtr<ITypeLib> lib;
        HRESULT hr = LoadRegTypeLib(LIBID_ZRVFORTLib, 1, 0, LANG_NEUTRAL, lib.put());
        if (FAILED(hr))
            hr = LoadOwnTypeLib(lib);
        if (FAILED(hr))
            return hr;
        hr = lib->GetTypeInfoOfGuid(IID_IFortune, m_typeInfo.put());
        if (FAILED(hr))
            return hr;
    }
    info = m_typeInfo;
    return S_OK;
}

} // namespace zrv
