#include "runtime/registry/CKeyTable.h"

#include "runtime/registry/HiveFiles.h"

#include <utility>

namespace zrv::reg {

namespace {

constexpr HKEY FirstRoot = HKEY_CLASSES_ROOT;

bool IsRoot(HKEY handle)
{
    return handle == HKEY_CLASSES_ROOT || handle == HKEY_CURRENT_USER ||
           handle == HKEY_LOCAL_MACHINE;
}

} // namespace

std::vector<std::string> SplitKeyPath(const char* path)
{
    std::vector<std::string> names;
    if (!path)
        return names;
    std::string current;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\') {
            if (!current.empty())
                names.push_back(std::move(current));
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty())
        names.push_back(std::move(current));
    return names;
}

CKeyTable& CKeyTable::Instance()
{
    static CKeyTable table;
    return table;
}

KeyHandle CKeyTable::RootKey(HKEY root)
{
    KeyHandle key;
    key.root = root;
    if (root == HKEY_CURRENT_USER) {
        key.parts.push_back({UserHivePath(), {}, RootKeyId, {}});
    } else if (root == HKEY_LOCAL_MACHINE) {
        key.parts.push_back({MachineHivePath(), {}, RootKeyId, {}});
    } else {
        // The classes root's ids are looked up when it is used: the hives
        // may not hold Software\Classes yet.
        const std::vector<std::string> classes{"Software", "Classes"};
        key.parts.push_back({UserHivePath(), classes, 0, {}});
        key.parts.push_back({MachineHivePath(), classes, 0, {}});
    }
    return key;
}

HKEY CKeyTable::Add(KeyHandle key)
{
    while (m_next == 0 || m_next >= FirstRoot || m_keys.count(m_next))
        m_next = m_next >= FirstRoot ? 1 : m_next + 1;
    const HKEY handle = m_next++;
    m_keys.emplace(handle, std::move(key));
    return handle;
}

const KeyHandle* CKeyTable::Find(HKEY handle)
{
    if (IsRoot(handle)) {
        m_root = RootKey(handle);
        return &m_root;
    }
    const auto found = m_keys.find(handle);
    return found == m_keys.end() ? nullptr : &found->second;
}

bool CKeyTable::Remove(HKEY handle)
{
    return IsRoot(handle) || m_keys.erase(handle) > 0;
}

} // namespace zrv::reg
