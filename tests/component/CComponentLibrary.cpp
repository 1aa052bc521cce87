#include "tests/component/CComponentLibrary.h"

#include <dlfcn.h>

namespace zrv::test {

namespace {

using GetClassObjectFn = HRESULT (*)(const GUID*, const GUID*, void**);
using EntryFn = HRESULT (*)();

constexpr HRESULT kMissing = static_cast<HRESULT>(0x8007007F);

} // namespace

CComponentLibrary::CComponentLibrary(const std::string& path)
    : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle) {
        const char* error = dlerror();
        m_loadError = error ? error : "dlopen failed";
    }
}

CComponentLibrary::~CComponentLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}

void* CComponentLibrary::Symbol(const char* name) const
{
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

HRESULT CComponentLibrary::GetClassObject(const CLSID& clsid, const IID& iid, void** ppv) const
{
    const auto entry = reinterpret_cast<GetClassObjectFn>(Symbol("DllGetClassObject"));
    return entry ? entry(&clsid, &iid, ppv) : kMissing;
}

HRESULT CComponentLibrary::CanUnloadNow() const
{
    const auto entry = reinterpret_cast<EntryFn>(Symbol("DllCanUnloadNow"));
    return entry ? entry() : kMissing;
}

HRESULT CComponentLibrary::RegisterServer() const
{
    const auto entry = reinterpret_cast<EntryFn>(Symbol("DllRegisterServer"));
    return entry ? entry() : kMissing;
}

HRESULT CComponentLibrary::UnregisterServer() const
{
    const auto entry = reinterpret_cast<EntryFn>(Symbol("DllUnregisterServer"));
    return entry ? entry() : kMissing;
}

ComPtr<IFortune> CComponentLibrary::CreateFortune() const
{
    ComPtr<IClassFactory> factory;
    ComPtr<IFortune> fortune;
    if (GetClassObject(CLSID_Fortune, IID_IClassFactory, factory.putVoid()) == S_OK)
        factory->CreateInstance(nullptr, IID_IFortune, fortune.putVoid());
    return fortune;
}

std::string FortuneLibraryPath()
{
    return ZRVFORT_PATH;
}

std::string FaultyFortuneLibraryPath()
{
    return ZRVFORT_FAULTY_PATH;
}

const CComponentLibrary& FortuneLibrary()
{
    static const CComponentLibrary library(FortuneLibraryPath());
    return library;
}

} // namespace zrv::test
