#include "component/CRegistrar.h"

#include "component/AnsiText.h"
#include "component/IFortune.h"
#include "runtime/com/CaughtFailure.h"
#include "runtime/com/ComPtr.h"
#include "runtime/com/ServerRegistration.h"

#include <filesystem>
#include <utility>

namespace zrv {

namespace {

#define FORTUNE_CLSID "{095D251D-865B-48EE-B1ED-943A95C46CB7}"
#define FORTUNE_LIBID "{18DE8153-F801-4AFF-A750-DBA21FB69108}"
#define FORTUNE_CLASS_KEY "CLSID\\" FORTUNE_CLSID

using com::kModulePath;
using com::RegEntry;

constexpr char16_t kSource[] = u"ZorvaFortune.Fortune";

// Under HKEY_CLASSES_ROOT.
const RegEntry kEntries[] = {
    {"ZorvaFortune.Fortune.1", nullptr, "Fortune Class"},
    {"ZorvaFortune.Fortune.1\\CLSID", nullptr, FORTUNE_CLSID},
    {"ZorvaFortune.Fortune", nullptr, "Fortune Class"},
    {"ZorvaFortune.Fortune\\CLSID", nullptr, FORTUNE_CLSID},
    {"ZorvaFortune.Fortune\\CurVer", nullptr, "ZorvaFortune.Fortune.1"},
    {FORTUNE_CLASS_KEY, nullptr, "Fortune Class"},
    {FORTUNE_CLASS_KEY "\\ProgID", nullptr, "ZorvaFortune.Fortune.1"},
    {FORTUNE_CLASS_KEY "\\VersionIndependentProgID", nullptr, "ZorvaFortune.Fortune"},
    {FORTUNE_CLASS_KEY "\\Programmable", nullptr, nullptr},
    {FORTUNE_CLASS_KEY "\\InprocServer32", nullptr, kModulePath},
    {FORTUNE_CLASS_KEY "\\InprocServer32", "ThreadingModel", "Apartment"},
    {FORTUNE_CLASS_KEY "\\TypeLib", nullptr, FORTUNE_LIBID},
};

// Written afresh by registration.
const char* const kReplacedKeys[] = {FORTUNE_CLASS_KEY};

// Keys unregistration removes, each with everything below it.
const char* const kOwnedKeys[] = {"ZorvaFortune.Fortune.1", "ZorvaFortune.Fortune",
                                  FORTUNE_CLASS_KEY};

HRESULT LoadTypeLibFrom(const std::filesystem::path& file, ComPtr<ITypeLib>& lib)
{
    try {
        return LoadTypeLib(ToWide(file.string()).c_str(), lib.put());
    } catch (...) {
        return com::CaughtFailure(GUID_NULL, kSource);
    }
}

} // namespace

CRegistrar::CRegistrar(std::string modulePath) : m_modulePath(std::move(modulePath)) {}

HRESULT CRegistrar::Register() const
{
    const HRESULT hr = RegisterClass();
    return FAILED(hr) ? hr : RegisterTypeLibrary();
}

void CRegistrar::Unregister() const
{
    UnregisterClass();
    UnregisterTypeLibrary();
}

HRESULT CRegistrar::RegisterClass() const
{
    return com::WriteRegEntries(HKEY_CLASSES_ROOT, kReplacedKeys, kEntries, m_modulePath);
}

void CRegistrar::UnregisterClass() const
{
    com::DeleteRegTrees(HKEY_CLASSES_ROOT, kOwnedKeys);
}

HRESULT CRegistrar::RegisterTypeLibrary() const
{
    std::filesystem::path file(m_modulePath);
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibFrom(file, lib);
    if (FAILED(hr)) {
        file.replace_extension(".tlb");
        hr = LoadTypeLibFrom(file, lib);
    }
    if (FAILED(hr))
        return hr;
    try {
        const std::u16string path = ToWide(file.string());
        const std::u16string folder = ToWide(file.parent_path().string());
        return RegisterTypeLib(lib.get(), path.c_str(), folder.c_str());
    } catch (...) {
        return com::CaughtFailure(GUID_NULL, kSource);
    }
}

void CRegistrar::UnregisterTypeLibrary() const
{
    UnRegisterTypeLib(LIBID_ZRVFORTLib, 1, 0, LANG_NEUTRAL, SYS_NATIVE);
}

} // namespace zrv
