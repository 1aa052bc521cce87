#include "component/CModule.h"

#include "component/AnsiText.h"
#include "component/CFortuneFactory.h"
#include "component/IFortune.h"

#include <dlfcn.h>
#include <filesystem>

namespace zrv {

CModule& CModule::Instance()
{
    // Destroyed when the library unloads, releasing the factory it created.
    static CModule module;
    return module;
}

void CModule::Lock() noexcept
{
    m_lockCount.fetch_add(1, std::memory_order_acq_rel);
}

void CModule::Unlock() noexcept
{
    m_lockCount.fetch_sub(1, std::memory_order_acq_rel);
}

LONG CModule::LockCount() const noexcept
{
    return m_lockCount.load(std::memory_order_acquire);
}

HRESULT CModule::GetClassFactory(ComPtr<IClassFactory>& factory)
{
    const std::lock_guard guard(m_lock);
    if (!m_factory) {
        const HRESULT hr = CFortuneFactory::Create(m_factory);
        if (FAILED(hr))
            return hr;
    }
    factory = m_factory;
    return S_OK;
}

std::string CModule::FilePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&CModule::FilePath), &info) == 0 || !info.dli_fname)
        return {};
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : path.lexically_normal().string();
}

namespace {

HRESULT LoadOwnTypeLib(ComPtr<ITypeLib>& lib)
{
    try {
        return LoadTypeLib(ToWide(CModule::FilePath()).c_str(), lib.put());
    } catch (...) {
        return TYPE_E_CANTLOADLIBRARY;
    }
}

} // namespace

HRESULT CModule::GetFortuneTypeInfo(ComPtr<ITypeInfo>& info)
{
    const std::lock_guard guard(m_lock);
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
