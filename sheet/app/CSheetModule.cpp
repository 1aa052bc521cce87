#include "sheet/app/CSheetModule.h"

#include "sheet/app/CApplicationFactory.h"

#include <dlfcn.h>
#include <filesystem>

namespace zrv::sheet {

CSheetModule& CSheetModule::Instance()
{
    static CSheetModule module;
    return module;
}

void CSheetModule::Lock() noexcept
{
    m_lockCount.fetch_add(1, std::memory_order_acq_rel);
}

void CSheetModule::Unlock() noexcept
{
    m_lockCount.fetch_sub(1, std::memory_order_acq_rel);
}

LONG CSheetModule::LockCount() const noexcept
{
    return m_lockCount.load(std::memory_order_acquire);
}

HRESULT CSheetModule::GetClassFactory(ComPtr<IClassFactory>& factory)
{
    const std::lock_guard guard(m_lock);
    if (!m_factory) {
        const HRESULT hr = CApplicationFactory::Create(m_factory);
        if (FAILED(hr))
            return hr;
    }
    factory = m_factory;
    return S_OK;
}

std::string CSheetModule::FilePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&CSheetModule::FilePath), &info) == 0 ||
        !info.dli_fname)
        return {};
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::string(info.dli_fname) : path.lexically_normal().string();
}

} // namespace zrv::sheet
