#pragma once

#include "runtime/registry/CStatement.h"
#include "runtime/ZrvTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

namespace zrv::reg {

using KeyId = int64_t;
constexpr KeyId RootKeyId = 1;

struct RegValue {
    std::string name;
    DWORD type = 0;
    std::string data;
};

struct RegKeyEntry {
    KeyId id = 0;
    std::string name;
    std::string cls;
    uint64_t written = 0;
    KeyId parent = 0;
};

// One hive file: a SQLite database of keys and values. Every change is one
// immediate transaction, so several processes may write the same file; the
// file is never replaced or emptied, and one that is not a sound hive is
// refused when it is opened.
class CHive final {
public:
    // Opens the hive at path. Without create a missing file gives
    // ERROR_FILE_NOT_FOUND; with create its folder and file are made.
    static LONG Open(const std::string& path, bool create, std::unique_ptr<CHive>& hive);
    ~CHive();
    CHive(const CHive&) = delete;
    CHive& operator=(const CHive&) = delete;

    // Whether this process may write the hive at path, or create it there
    // when it does not exist yet.
    static bool FileWritable(const std::string& path);

    const std::string& Path() const { return m_path; }
    // A hive read as an unchanging file (by a reader that may not take part
    // in its locking) is stale once the file changes, and must be reopened.
    bool Stale() const;
    // Whether the file was deleted or replaced since it was opened; writes
    // through this connection would then be lost.
    bool Replaced() const;
    // A token made when the hive file was created: keys of one file are never
    // taken for keys of another that replaced it.
    const std::string& Identity() const { return m_identity; }
    // Whether this process may change the file (its write permission bits
    // are honoured even for the superuser).
    bool Writable() const;

    // Runs body's reads in one read transaction: one snapshot, and one round
    // of file locking instead of one per statement.
    LONG ReadTogether(const std::function<LONG()>& body);

    LONG FindChild(KeyId parent, std::string_view name, KeyId& child);
    LONG KeyExists(KeyId id, bool& exists);
    // Finds or creates each name in turn below parent; created tells whether
    // the last one was made.
    LONG CreatePath(KeyId parent, const std::vector<std::string>& names, std::string_view cls,
                    KeyId& id, bool& created);
    // Refuses (ERROR_ACCESS_DENIED) while the key has subkeys.
    LONG DeleteKey(KeyId id);
    // Deletes everything below id, and id itself unless keepSelf.
    LONG DeleteTree(KeyId id, bool keepSelf);

    LONG QueryValue(KeyId key, std::string_view name, RegValue& value);
    LONG SetValue(KeyId key, std::string_view name, DWORD type, std::string_view data);
    LONG DeleteValue(KeyId key, std::string_view name);
    // Values in creation order, subkeys in case-insensitive name order.
    LONG Values(KeyId key, std::vector<RegValue>& values);
    LONG SubKeys(KeyId key, std::vector<RegKeyEntry>& keys);
    LONG KeyInfo(KeyId key, RegKeyEntry& info);

private:
    CHive(std::string path, sqlite3* db);
    LONG Check();
    LONG Validate(bool writable);
    LONG InitSchema();
    void Prepare();
    // Runs body in one immediate transaction, committed when it succeeds.
    template <typename Body> LONG Write(Body body);
    LONG RequireKey(KeyId id);
    LONG FindOrCreateChild(KeyId parent, const std::string& name, std::string_view cls,
                           KeyId& child, bool& created);
    LONG Touch(KeyId id);
    LONG DeleteSubtree(KeyId id);
    static LONG Fail(int sqliteResult);

    struct Statements;

    std::string m_path;
    sqlite3* m_db = nullptr;
    std::unique_ptr<Statements> m_st;
    bool m_immutable = false;
    std::string m_stamp;
    std::string m_identity;
    std::string m_file; // device and inode of the open file
};

} // namespace zrv::reg
