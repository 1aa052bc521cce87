#include "runtime/registry/RegistryView.h"

#include "runtime/registry/CHiveCache.h"
#include "runtime/registry/NameFold.h"

#include <algorithm>
#include <set>

namespace zrv::reg::view {

namespace {

constexpr size_t MaxKeyNameLength = 255;

LONG Walk(CHive& hive, KeyId from, const std::vector<std::string>& names, KeyId& id)
{
    id = from;
    return hive.ReadTogether([&] {
        for (const std::string& name : names) {
            if (const LONG result = hive.FindChild(id, name, id); result != ERROR_SUCCESS) {
                id = 0;
                return result;
            }
        }
        return ERROR_SUCCESS;
    });
}

// The hive and id of one part of key for reading; no hive when the key is
// not in that hive (or the hive does not exist).
LONG ReadPart(const KeyHandle& key, const KeyPart& part, CHive*& hive, KeyId& id)
{
    hive = nullptr;
    id = part.id;
    const bool lookUpViewRoot = id == 0 && key.path.empty();
    if (id == 0 && !lookUpViewRoot)
        return ERROR_SUCCESS;
    CHive* opened = nullptr;
    LONG result = CHiveCache::Instance().Get(part.hive, false, opened);
    if (result == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        return result;
    // A key of a hive file that has since been replaced no longer exists.
    if (!part.identity.empty() && part.identity != opened->Identity())
        return ERROR_SUCCESS;
    if (lookUpViewRoot) {
        result = Walk(*opened, RootKeyId, part.base, id);
        if (result == ERROR_FILE_NOT_FOUND)
            return ERROR_SUCCESS;
        if (result != ERROR_SUCCESS)
            return result;
    }
    hive = opened;
    return ERROR_SUCCESS;
}

// Writes to the merged view go to the machine's hive when this process may
// write it, otherwise to the user's.
size_t WriteTarget(const KeyHandle& key)
{
    if (!key.Merged())
        return 0;
    return CHive::FileWritable(key.parts[1].hive) ? 1 : 0;
}

std::vector<std::string> FullPath(const KeyPart& part, const KeyHandle& key)
{
    std::vector<std::string> names = part.base;
    names.insert(names.end(), key.path.begin(), key.path.end());
    return names;
}

// The hive and id of the part of key that takes writes, creating the key in
// that hive when only the other one holds it.
LONG WritePart(const KeyHandle& key, CHive*& hive, KeyId& id)
{
    const KeyPart& part = key.parts[WriteTarget(key)];
    if (!CHive::FileWritable(part.hive))
        return ERROR_ACCESS_DENIED;
    if (const LONG result = CHiveCache::Instance().Get(part.hive, true, hive);
        result != ERROR_SUCCESS)
        return result;
    id = part.id;
    if (id != 0)
        return part.identity.empty() || part.identity == hive->Identity() ? ERROR_SUCCESS
                                                                          : ERROR_KEY_DELETED;
    bool created = false;
    return hive->CreatePath(RootKeyId, FullPath(part, key), {}, id, created);
}

// Calls action(hive, id) for each hive that holds key.
template <typename Action> LONG ForEachPresentPart(const KeyHandle& key, Action action)
{
    for (const KeyPart& part : key.parts) {
        CHive* hive = nullptr;
        KeyId id = 0;
        if (const LONG result = ReadPart(key, part, hive, id); result != ERROR_SUCCESS)
            return result;
        if (!hive)
            continue;
        if (const LONG result = action(*hive, id); result != ERROR_SUCCESS)
            return result;
    }
    return ERROR_SUCCESS;
}

} // namespace

LONG Open(const KeyHandle& parent, const char* subKey, REGSAM sam, KeyHandle& key)
{
    const std::vector<std::string> names = SplitKeyPath(subKey);
    KeyHandle opened = parent;
    opened.sam = sam;
    opened.path.insert(opened.path.end(), names.begin(), names.end());
    bool found = false;
    for (size_t i = 0; i < parent.parts.size(); ++i) {
        CHive* hive = nullptr;
        KeyId id = 0;
        if (const LONG result = ReadPart(parent, parent.parts[i], hive, id);
            result != ERROR_SUCCESS)
            return result;
        KeyId child = 0;
        if (hive) {
            const LONG result = Walk(*hive, id, names, child);
            if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
                return result;
        }
        opened.parts[i].id = child;
        opened.parts[i].identity = child != 0 ? hive->Identity() : std::string();
        found = found || child != 0;
    }
    // A root exists even before its hive file does.
    if (!found && !opened.path.empty())
        return ERROR_FILE_NOT_FOUND;
    if (opened.path.empty())
        opened.parts = parent.parts;
    key = std::move(opened);
    return ERROR_SUCCESS;
}

LONG Create(const KeyHandle& parent, const char* subKey, std::string_view cls, REGSAM sam,
            KeyHandle& key, bool& created)
{
    created = false;
    const std::vector<std::string> names = SplitKeyPath(subKey);
    for (const std::string& name : names) {
        if (name.size() > MaxKeyNameLength)
            return ERROR_INVALID_PARAMETER;
    }
    LONG result = Open(parent, subKey, sam, key);
    if (result != ERROR_FILE_NOT_FOUND)
        return result;
    CHive* hive = nullptr;
    KeyId parentId = 0;
    if (result = WritePart(parent, hive, parentId); result != ERROR_SUCCESS)
        return result;
    KeyId id = 0;
    if (result = hive->CreatePath(parentId, names, cls, id, created); result != ERROR_SUCCESS)
        return result;
    return Open(parent, subKey, sam, key);
}

LONG DeleteKey(const KeyHandle& key)
{
    if (key.path.empty())
        return ERROR_ACCESS_DENIED;
    std::vector<RegKeyEntry> children;
    if (const LONG result = SubKeys(key, children); result != ERROR_SUCCESS)
        return result;
    if (!children.empty())
        return ERROR_ACCESS_DENIED;
    bool found = false;
    LONG result = ForEachPresentPart(key, [&found](CHive& hive, KeyId) {
        found = true;
        return hive.Writable() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    });
    if (result != ERROR_SUCCESS)
        return result;
    if (!found)
        return ERROR_KEY_DELETED;
    return ForEachPresentPart(key, [](CHive& hive, KeyId id) { return hive.DeleteKey(id); });
}

LONG DeleteTree(const KeyHandle& key, bool keepSelf)
{
    if (key.path.empty() && !keepSelf)
        return ERROR_ACCESS_DENIED;
    LONG result = ForEachPresentPart(key, [](CHive& hive, KeyId) {
        return hive.Writable() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    });
    if (result != ERROR_SUCCESS)
        return result;
    return ForEachPresentPart(
        key, [keepSelf](CHive& hive, KeyId id) { return hive.DeleteTree(id, keepSelf); });
}

LONG QueryValue(const KeyHandle& key, std::string_view name, RegValue& value)
{
    bool found = false;
    const LONG result = ForEachPresentPart(key, [&](CHive& hive, KeyId id) {
        if (found)
            return ERROR_SUCCESS;
        const LONG queried = hive.QueryValue(id, name, value);
        found = queried == ERROR_SUCCESS;
        return queried == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : queried;
    });
    if (result != ERROR_SUCCESS)
        return result;
    return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG SetValue(const KeyHandle& key, std::string_view name, DWORD type, std::string_view data)
{
    CHive* hive = nullptr;
    KeyId id = 0;
    if (const LONG result = WritePart(key, hive, id); result != ERROR_SUCCESS)
        return result;
    return hive->SetValue(id, name, type, data);
}

LONG DeleteValue(const KeyHandle& key, std::string_view name)
{
    std::vector<std::pair<CHive*, KeyId>> holders;
    const LONG result = ForEachPresentPart(key, [&](CHive& hive, KeyId id) {
        RegValue value;
        const LONG queried = hive.QueryValue(id, name, value);
        if (queried == ERROR_SUCCESS)
            holders.emplace_back(&hive, id);
        return queried == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : queried;
    });
    if (result != ERROR_SUCCESS)
        return result;
    if (holders.empty())
        return ERROR_FILE_NOT_FOUND;
    for (const auto& [hive, id] : holders) {
        if (!hive->Writable())
            return ERROR_ACCESS_DENIED;
    }
    for (const auto& [hive, id] : holders) {
        if (const LONG deleted = hive->DeleteValue(id, name); deleted != ERROR_SUCCESS)
            return deleted;
    }
    return ERROR_SUCCESS;
}

LONG Values(const KeyHandle& key, std::vector<RegValue>& values)
{
    values.clear();
    std::set<std::string> seen;
    return ForEachPresentPart(key, [&](CHive& hive, KeyId id) {
        std::vector<RegValue> own;
        const LONG result = hive.Values(id, own);
        for (RegValue& value : own) {
            if (seen.insert(FoldName(value.name)).second)
                values.push_back(std::move(value));
        }
        return result;
    });
}

LONG SubKeys(const KeyHandle& key, std::vector<RegKeyEntry>& keys)
{
    keys.clear();
    const LONG result = ForEachPresentPart(key, [&](CHive& hive, KeyId id) {
        std::vector<RegKeyEntry> own;
        const LONG listed = hive.SubKeys(id, own);
        keys.insert(keys.end(), own.begin(), own.end());
        return listed;
    });
    if (result != ERROR_SUCCESS || !key.Merged())
        return result;
    // The user's entry comes first and wins over the machine's of the same name.
    std::vector<std::pair<std::string, RegKeyEntry>> folded;
    for (RegKeyEntry& entry : keys)
        folded.emplace_back(FoldName(entry.name), std::move(entry));
    std::stable_sort(folded.begin(), folded.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    keys.clear();
    for (size_t i = 0; i < folded.size(); ++i) {
        if (i == 0 || folded[i].first != folded[i - 1].first)
            keys.push_back(std::move(folded[i].second));
    }
    return ERROR_SUCCESS;
}

LONG Info(const KeyHandle& key, RegKeyEntry& info)
{
    info = {};
    bool found = false;
    const LONG result = ForEachPresentPart(key, [&](CHive& hive, KeyId id) {
        RegKeyEntry own;
        const LONG queried = hive.KeyInfo(id, own);
        if (queried != ERROR_SUCCESS)
            return queried == ERROR_KEY_DELETED ? ERROR_SUCCESS : queried;
        if (!found)
            info.cls = own.cls;
        info.written = std::max(info.written, own.written);
        found = true;
        return ERROR_SUCCESS;
    });
    if (result != ERROR_SUCCESS)
        return result;
    return found || key.path.empty() ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

} // namespace zrv::reg::view
