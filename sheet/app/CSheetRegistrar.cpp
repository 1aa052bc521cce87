#include "sheet/app/CSheetRegistrar.h"

#include "runtime/registry/WinReg.h"
#include "sheet/app/SheetClass.h"

#include <optional>
#include <utility>

namespace zrv::sheet {

namespace {

#define CLASSES "Software\\Classes\\"
#define CLASS_KEY CLASSES "CLSID\\" ZRVSHEET_CLSID_TEXT

constexpr const char* kModule = "%MODULE%";
constexpr char kClassName[] = "Zorva Sheet Application";
constexpr char kSheetClassName[] = "Zorva Sheet Workbook";

struct Entry {
    const char* key;
    const char* valueName; // null: the default value
    const char* value;
};

const Entry kEntries[] = {
    {CLASSES "Excel.Application", nullptr, kClassName},
    {CLASSES "Excel.Application\\CLSID", nullptr, ZRVSHEET_CLSID_TEXT},
    {CLASSES "Excel.Application\\CurVer", nullptr, "Excel.Application.8"},
    {CLASSES "Excel.Application.8", nullptr, kClassName},
    {CLASSES "Excel.Application.8\\CLSID", nullptr, ZRVSHEET_CLSID_TEXT},
    {CLASS_KEY, nullptr, kClassName},
    {CLASS_KEY "\\ProgID", nullptr, "Excel.Application.8"},
    {CLASS_KEY "\\VersionIndependentProgID", nullptr, "Excel.Application"},
    {CLASS_KEY "\\InprocServer32", nullptr, kModule},
    {CLASS_KEY "\\InprocServer32", "ThreadingModel", "Apartment"},
    {CLASSES ".xls", nullptr, "Excel.Sheet.8"},
    {CLASSES "Excel.Sheet.8", nullptr, kSheetClassName},
};

// Keys whose default value registration sets but which others may share.
const Entry kSharedValues[] = {
    {CLASSES ".xls", nullptr, "Excel.Sheet.8"},
    {CLASSES "Excel.Sheet.8", nullptr, kSheetClassName},
};

constexpr HRESULT HResultFromWin32(LONG error)
{
    return error <= 0 ? error
                      : static_cast<HRESULT>((static_cast<uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

class Key final {
public:
    Key() = default;
    ~Key()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* put() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = 0;
};

LONG WriteEntry(const Entry& entry, const std::string& modulePath)
{
    Key key;
    LONG error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, entry.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_WRITE, nullptr, key.put(), nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    const std::string value = entry.value == kModule ? modulePath : std::string(entry.value);
    return RegSetValueExA(key.get(), entry.valueName, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

std::optional<std::string> ReadDefault(const std::string& keyName)
{
    Key key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    char buffer[256];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0)
        return std::nullopt;
    return std::string(buffer, size - 1);
}

void RemoveIfEmpty(const char* keyName)
{
    {
        Key key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
            return;
        DWORD subkeys = 0;
        DWORD values = 0;
        if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subkeys != 0 || values != 0)
            return;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyName);
}

// Removes the default value when it is still ours, then the key when empty.
void RemoveSharedValue(const Entry& entry)
{
    if (ReadDefault(entry.key) != std::string(entry.value))
        return;
    {
        Key key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, entry.key, 0, KEY_ALL_ACCESS, key.put()) !=
            ERROR_SUCCESS)
            return;
        RegDeleteValueA(key.get(), nullptr);
    }
    RemoveIfEmpty(entry.key);
}

} // namespace

CSheetRegistrar::CSheetRegistrar(std::string modulePath) : m_modulePath(std::move(modulePath)) {}

HRESULT CSheetRegistrar::Register() const
{
    // The class key is ours alone: written afresh.
    const LONG removed = RegDeleteTreeA(HKEY_LOCAL_MACHINE, CLASS_KEY);
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND)
        return HResultFromWin32(removed);
    for (const Entry& entry : kEntries) {
        const LONG error = WriteEntry(entry, m_modulePath);
        if (error != ERROR_SUCCESS)
            return HResultFromWin32(error);
    }
    return S_OK;
}

void CSheetRegistrar::Unregister() const
{
    for (const char* progId : {CLASSES "Excel.Application", CLASSES "Excel.Application.8"}) {
        if (ReadDefault(std::string(progId) + "\\CLSID") == std::string(ZRVSHEET_CLSID_TEXT))
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, progId);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, CLASS_KEY);
    for (const Entry& entry : kSharedValues)
        RemoveSharedValue(entry);
    // Parents registration may have made, when nothing else uses them.
    for (const char* parent : {CLASSES "CLSID", "Software\\Classes", "Software"})
        RemoveIfEmpty(parent);
}

} // namespace zrv::sheet
