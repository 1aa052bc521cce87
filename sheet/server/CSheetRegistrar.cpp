#include "sheet/server/CSheetRegistrar.h"

#include "runtime/com/ServerRegistration.h"
#include "sheet/server/SheetClass.h"

#include <optional>
#include <utility>

namespace zrv::sheet {

namespace {

#define CLASSES "Software\\Classes\\"
#define CLASS_KEY CLASSES "CLSID\\" ZRVSHEET_CLSID_TEXT

using com::kModulePath;
using com::RegEntry;
using reg::CRegKey;

constexpr char kClassName[] = "Zorva Sheet Application";
constexpr char kSheetClassName[] = "Zorva Sheet Workbook";

// Under HKEY_LOCAL_MACHINE.
const RegEntry kEntries[] = {
    {CLASSES "Excel.Application", nullptr, kClassName},
    {CLASSES "Excel.Application\\CLSID", nullptr, ZRVSHEET_CLSID_TEXT},
    {CLASSES "Excel.Application\\CurVer", nullptr, "Excel.Application.8"},
    {CLASSES "Excel.Application.8", nullptr, kClassName},
    {CLASSES "Excel.Application.8\\CLSID", nullptr, ZRVSHEET_CLSID_TEXT},
    {CLASS_KEY, nullptr, kClassName},
    {CLASS_KEY "\\ProgID", nullptr, "Excel.Application.8"},
    {CLASS_KEY "\\VersionIndependentProgID", nullptr, "Excel.Application"},
    {CLASS_KEY "\\InprocServer32", nullptr, kModulePath},
    {CLASS_KEY "\\InprocServer32", "ThreadingModel", "Apartment"},
    {CLASSES ".xls", nullptr, "Excel.Sheet.8"},
    {CLASSES "Excel.Sheet.8", nullptr, kSheetClassName},
};

// Keys whose default value registration sets but which others may share.
const RegEntry kSharedValues[] = {
    {CLASSES ".xls", nullptr, "Excel.Sheet.8"},
    {CLASSES "Excel.Sheet.8", nullptr, kSheetClassName},
};

// Written afresh by registration: the class key is ours alone.
const char* const kReplacedKeys[] = {CLASS_KEY};

std::optional<std::string> ReadDefault(const std::string& keyName)
{
    CRegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, keyName) != ERROR_SUCCESS)
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
        CRegKey key;
        if (key.open(HKEY_LOCAL_MACHINE, keyName) != ERROR_SUCCESS)
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
void RemoveSharedValue(const RegEntry& entry)
{
    if (ReadDefault(entry.key) != std::string(entry.value))
        return;
    {
        CRegKey key;
        if (key.open(HKEY_LOCAL_MACHINE, entry.key, KEY_ALL_ACCESS) != ERROR_SUCCESS)
            return;
        RegDeleteValueA(key.get(), nullptr);
    }
    RemoveIfEmpty(entry.key);
}

} // namespace

CSheetRegistrar::CSheetRegistrar(std::string modulePath) : m_modulePath(std::move(modulePath)) {}

HRESULT CSheetRegistrar::Register() const
{
    return com::WriteRegEntries(HKEY_LOCAL_MACHINE, kReplacedKeys, kEntries, m_modulePath);
}

void CSheetRegistrar::Unregister() const
{
    for (const char* progId : {CLASSES "Excel.Application", CLASSES "Excel.Application.8"}) {
        if (ReadDefault(std::string(progId) + "\\CLSID") == std::string(ZRVSHEET_CLSID_TEXT))
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, progId);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, CLASS_KEY);
    for (const RegEntry& entry : kSharedValues)
        RemoveSharedValue(entry);
    // Parents registration may have made, when nothing else uses them.
    for (const char* parent : {CLASSES "CLSID", "Software\\Classes", "Software"})
        RemoveIfEmpty(parent);
}

} // namespace zrv::sheet
