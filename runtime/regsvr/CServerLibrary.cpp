#include "runtime/regsvr/CServerLibrary.h"

#include <dlfcn.h>
#include <filesystem>

namespace {

// HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)
constexpr HRESULT kEntryPointMissing = static_cast<HRESULT>(0x8007007F);

std::string LoadName(const std::string& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return file;
    const std::filesystem::path path = std::filesystem::absolute(file, error);
    return error ? file : path.lexically_normal().string();
}

} // namespace

CServerLibrary::CServerLibrary(const std::string& file)
    : m_handle(dlopen(LoadName(file).c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle) {
        const char* error = dlerror();
        m_loadError = error ? error : "unknown reason";
    }
}

CServerLibrary::~CServerLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}

HRESULT CServerLibrary::Call(const char* entryPoint) const
{
    using EntryPoint = HRESULT (*)();
    void* symbol = m_handle ? dlsym(m_handle, entryPoint) : nullptr;
    if (!symbol)
        return kEntryPointMissing;
    return reinterpret_cast<EntryPoint>(symbol)();
}
