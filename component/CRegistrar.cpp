#include "component/CRegistrar.h"

#include "component/AnsiText.h"
#include "component/IFortune.h"
#include "runtime/com/ComPtr.h"
#include "runtime/registry/CRegKey.h"
#include "runtime/registry/WinReg.h"

#include <filesystem>
#include <utility>

namespace zrv {

namespace {

#define FORTUNE_CLSID "{095D251D-865B-48EE-B1ED-943A95C46CB7}"
#define FORTUNE_LIBID "{18DE8153-F801-4AFF-A750-DBA21FB69108}"
#define FORTUNE_CLASS_KEY "CLSID\\" FORTUNE_CLSID

constexpr const char* kModule = "%MODULE%";

// One value (or, with a null value name and value, a key only) under
// HKEY_CLASSES_ROOT. A null value name is the default value. A key marked
// replace is deleted with everything below it before it is written.
struct Entry {
    const char* key;
    bool replace;
    const char* valueName;
    const char* value;
};

const Entry kEntries[] = {
    {"ZorvaFortune.Fortune.1", false, nullptr, "Fortune Class"},
    {"ZorvaFortune.Fortune.1\\CLSID", false, nullptr, FORTUNE_CLSID},
    {"ZorvaFortune.Fortune", false, nullptr, "Fortune Class"},
    {"ZorvaFortune.Fortune\\CLSID", false, nullptr, FORTUNE_CLSID},
    {"ZorvaFortune.Fortune\\CurVer", false, nullptr, "ZorvaFortune.Fortune.1"},
    {FORTUNE_CLASS_KEY, true, nullptr, "Fortune Class"},
    {FORTUNE_CLASS_KEY "\\ProgID", false, nullptr, "ZorvaFortune.Fortune.1"},
    {FORTUNE_CLASS_KEY "\\VersionIndependentProgID", false, nullptr, "ZorvaFortune.Fortune"},
    {FORTUNE_CLASS_KEY "\\Programmable", true, nullptr, nullptr},
    {FORTUNE_CLASS_KEY "\\InprocServer32", false, nullptr, kModule},
    {FORTUNE_CLASS_KEY "\\InprocServer32", false, "ThreadingModel", "Apartment"},
    {FORTUNE_CLASS_KEY "\\TypeLib", false, nullptr, FORTUNE_LIBID},
};

// Keys unregistration removes, each with everything below it.
const char* const kOwnedKeys[] = {"ZorvaFortune.Fortune.1", "ZorvaFortune.Fortune",
                                  FORTUNE_CLASS_KEY};

constexpr HRESULT HResultFromWin32(LONG error)
{
    return error <= 0 ? error
                      : static_cast<HRESULT>((static_cast<uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

LONG WriteEntry(const Entry& entry, const std::string& modulePath)
{
    if (entry.replace) {
        const LONG removed = RegDeleteTreeA(HKEY_CLASSES_ROOT, entry.key);
        if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND)
            return removed;
    }
    zrv::reg::CRegKey key;
    LONG error = key.create(HKEY_CLASSES_ROOT, entry.key, KEY_WRITE);
    if (error != ERROR_SUCCESS || !entry.value)
        return error;
    const std::string value = entry.value == kModule ? modulePath : std::string(entry.value);
    error = RegSetValueExA(key.get(), entry.valueName, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
    return error;
}

HRESULT LoadTypeLibFrom(const std::filesystem::path& file, ComPtr<ITypeLib>& lib)
{
    try {
        return LoadTypeLib(ToWide(file.string()).c_str(), lib.put());
    } catch (...) {
        return TYPE_E_CANTLOADLIBRARY;
    }
}

} // namespace

CRegistrar::CRegistrar(std::string modulePath) : m_modulePath(std::move(modulePath)) {}

HRESULT CRegistrar::RegisterClass() const
{
    for (const Entry& entry : kEntries) {
        const LONG error = WriteEntry(entry, m_modulePath);
        if (error != ERROR_SUCCESS)
            return HResultFromWin32(error);
    }
    return S_OK;
}

void CRegistrar::UnregisterClass() const
{
    for (const char* key : kOwnedKeys)
        RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
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
        return E_OUTOFMEMORY;
    }
}

void CRegistrar::UnregisterTypeLibrary() const
{
    UnRegisterTypeLib(LIBID_ZRVFORTLib, 1, 0, LANG_NEUTRAL, SYS_NATIVE);
}

} // namespace zrv
