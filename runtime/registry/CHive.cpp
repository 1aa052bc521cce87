#include "runtime/registry/CHive.h"

#include "runtime/registry/CHiveTransaction.h"
#include "runtime/registry/FileTimeClock.h"
#include "runtime/registry/HiveFiles.h"
#include "runtime/registry/NameFold.h"
#include "runtime/registry/WinReg.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace zrv::reg {

namespace {

constexpr int64_t HiveApplicationId = 0x5A525652; // "ZRVR"
constexpr int BusyTimeoutMs = 15000;
constexpr int64_t SchemaVersion = 2;

const char* const SchemaSql = R"sql(
CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,
    name BLOB NOT NULL, fold BLOB NOT NULL, class BLOB NOT NULL, written INTEGER NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS keys_child ON keys(parent, fold);
CREATE TABLE IF NOT EXISTS vals(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,
    name BLOB NOT NULL, fold BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS vals_name ON vals(key, fold);
CREATE TABLE IF NOT EXISTS hive(token BLOB NOT NULL);
INSERT INTO hive SELECT randomblob(16) WHERE NOT EXISTS (SELECT 1 FROM hive);
PRAGMA application_id = 1515345490;
PRAGMA user_version = 2;
)sql";

static_assert(HiveApplicationId == 1515345490);

struct SqliteConnection {
    sqlite3* db = nullptr;
    ~SqliteConnection() { sqlite3_close_v2(db); }
    sqlite3* release() { return std::exchange(db, nullptr); }
};

} // namespace

struct CHive::Statements {
    explicit Statements(sqlite3* db)
        : findChild(db, "SELECT id FROM keys WHERE parent=? AND fold=?"),
          keyExists(db, "SELECT 1 FROM keys WHERE id=?"),
          insertKey(db, "INSERT INTO keys(parent,name,fold,class,written) VALUES(?,?,?,?,?)"),
          childCount(db, "SELECT count(*) FROM keys WHERE parent=?"),
          childIds(db, "SELECT id FROM keys WHERE parent=?"),
          deleteKey(db, "DELETE FROM keys WHERE id=?"),
          deleteValuesOf(db, "DELETE FROM vals WHERE key=?"),
          children(db, "SELECT id,name,class,written FROM keys WHERE parent=? ORDER BY fold"),
          keyInfo(db, "SELECT id,name,class,written,parent FROM keys WHERE id=?"),
          setWritten(db, "UPDATE keys SET written=? WHERE id=?"),
          queryValue(db, "SELECT name,type,data FROM vals WHERE key=? AND fold=?"),
          updateValue(db, "UPDATE vals SET type=?,data=? WHERE key=? AND fold=?"),
          insertValue(db, "INSERT INTO vals(key,name,fold,type,data) VALUES(?,?,?,?,?)"),
          deleteValue(db, "DELETE FROM vals WHERE key=? AND fold=?"),
          values(db, "SELECT name,type,data FROM vals WHERE key=? ORDER BY id"), begin(db, "BEGIN"),
          commit(db, "COMMIT")
    {}
    CStatement findChild, keyExists, insertKey, childCount, childIds, deleteKey, deleteValuesOf,
        children, keyInfo, setWritten, queryValue, updateValue, insertValue, deleteValue, values;
    CStatement begin, commit;
};

template <typename Body> LONG CHive::Write(Body body)
{
    if (!Writable())
        return ERROR_ACCESS_DENIED;
    CHiveTransaction transaction(m_db);
    if (const int rc = transaction.Begin(); rc != SQLITE_OK)
        return Fail(rc);
    const LONG result = body();
    if (result != ERROR_SUCCESS)
        return result;
    const int rc = transaction.Commit();
    return rc == SQLITE_OK ? ERROR_SUCCESS : Fail(rc);
}

CHive::CHive(std::string path, sqlite3* db) : m_path(std::move(path)), m_db(db) {}

CHive::~CHive()
{
    m_st.reset();
    sqlite3_close_v2(m_db);
}

LONG CHive::Fail(int sqliteResult)
{
    switch (sqliteResult & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    case SQLITE_CANTOPEN:
        return ERROR_CANTOPEN;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_FULL:
    case SQLITE_IOERR:
        return ERROR_CANTWRITE;
    case SQLITE_NOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_BADDB;
    }
}

LONG CHive::Open(const std::string& path, bool create, std::unique_ptr<CHive>& hive)
{
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (!exists && !create)
        return ERROR_FILE_NOT_FOUND;
    if (!exists) {
        if (!FileWritable(path))
            return ERROR_ACCESS_DENIED;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        if (ec)
            return ERROR_ACCESS_DENIED;
    }
    const bool writable = FileWritable(path);
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    flags |= writable ? (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) : SQLITE_OPEN_READONLY;
    SqliteConnection connection;
    int rc = sqlite3_open_v2(path.c_str(), &connection.db, flags, nullptr);
    if (rc != SQLITE_OK)
        return Fail(rc);
    std::unique_ptr<CHive> opened(new CHive(path, connection.release()));
    LONG result = opened->Validate(writable);
    if (result == ERROR_CANTOPEN && !writable) {
        // A reader that may not create the WAL index files reads the file as
        // it stands.
        rc = sqlite3_open_v2(ImmutableUri(path).c_str(), &connection.db, flags, nullptr);
        if (rc != SQLITE_OK)
            return Fail(rc);
        opened.reset(new CHive(path, connection.release()));
        opened->m_immutable = true;
        opened->m_stamp = HiveFileStamp(path);
        result = opened->Validate(false);
    }
    if (result != ERROR_SUCCESS)
        return result;
    opened->Prepare();
    opened->m_file = HiveFileIdentity(path);
    hive = std::move(opened);
    return ERROR_SUCCESS;
}

// The first statement reads the file: whether it can be read at all shows here.
LONG CHive::Check()
{
    int error = SQLITE_OK;
    std::string verdict;
    try {
        CStatement check(m_db, "PRAGMA quick_check");
        if (check.Next())
            verdict = check.Blob(0);
        error = check.Error();
    } catch (const std::runtime_error&) {
        error = sqlite3_extended_errcode(m_db);
    }
    // A reader that may not create the WAL index cannot open the file this way.
    if ((error & 0xFF) == SQLITE_READONLY || (error & 0xFF) == SQLITE_CANTOPEN)
        return ERROR_CANTOPEN;
    if (error != SQLITE_OK)
        return Fail(error);
    return verdict == "ok" ? ERROR_SUCCESS : ERROR_BADDB;
}

LONG CHive::Validate(bool writable)
{
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    if (const LONG result = Check(); result != ERROR_SUCCESS)
        return result;
    CStatement appId(m_db, "PRAGMA application_id");
    const int64_t id = appId.Next() ? appId.Int(0) : 0;
    appId.Reset();
    CStatement tables(m_db, "SELECT count(*) FROM sqlite_master");
    const int64_t tableCount = tables.Next() ? tables.Int(0) : 0;
    tables.Reset();
    if (id != HiveApplicationId && (id != 0 || tableCount != 0))
        return ERROR_BADDB;
    if (!writable)
        return id == HiveApplicationId ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr,
                 nullptr);
    // Version 1 hives lack the token table; the schema's statements add it.
    CStatement version(m_db, "PRAGMA user_version");
    const int64_t schemaVersion = version.Next() ? version.Int(0) : 0;
    version.Reset();
    return id == HiveApplicationId && schemaVersion >= SchemaVersion ? ERROR_SUCCESS : InitSchema();
}

LONG CHive::InitSchema()
{
    return Write([this] {
        const int rc = sqlite3_exec(m_db, SchemaSql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return Fail(rc);
        CStatement root(m_db, "INSERT OR IGNORE INTO keys(id,parent,name,fold,class,written) "
                              "VALUES(1,0,x'',x'',x'',?)");
        const int inserted = root.Bind(static_cast<int64_t>(FileTimeNow())).Run();
        return inserted == SQLITE_DONE ? ERROR_SUCCESS : Fail(inserted);
    });
}

void CHive::Prepare()
{
    m_st = std::make_unique<Statements>(m_db);
    try {
        CStatement token(m_db, "SELECT token FROM hive");
        m_identity = token.Next() ? token.Blob(0) : std::string();
    } catch (const std::runtime_error&) {
        // An older hive this process may not upgrade: its keys go unchecked.
    }
}

LONG CHive::ReadTogether(const std::function<LONG()>& body)
{
    if (!sqlite3_get_autocommit(m_db))
        return body();
    if (const int rc = m_st->begin.Run(); rc != SQLITE_DONE)
        return Fail(rc);
    const LONG result = body();
    m_st->commit.Run();
    return result;
}

bool CHive::FileWritable(const std::string& path)
{
    std::error_code ec;
    const bool folderWritable = ModeAllowsWrite(ExistingFolderOf(path));
    return std::filesystem::exists(path, ec) ? folderWritable && ModeAllowsWrite(path)
                                             : folderWritable;
}

bool CHive::Stale() const
{
    return m_immutable && HiveFileStamp(m_path) != m_stamp;
}

bool CHive::Replaced() const
{
    return HiveFileIdentity(m_path) != m_file;
}

bool CHive::Writable() const
{
    return !sqlite3_db_readonly(m_db, "main") && FileWritable(m_path);
}

LONG CHive::FindChild(KeyId parent, std::string_view name, KeyId& child)
{
    CStatement& st = m_st->findChild;
    st.Bind(parent, FoldName(name));
    child = st.Next() ? st.Int(0) : 0;
    const int error = st.Error();
    st.Reset();
    if (error != SQLITE_OK)
        return Fail(error);
    return child ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG CHive::KeyExists(KeyId id, bool& exists)
{
    CStatement& st = m_st->keyExists;
    st.Bind(id);
    exists = st.Next();
    const int error = st.Error();
    st.Reset();
    return error == SQLITE_OK ? ERROR_SUCCESS : Fail(error);
}

LONG CHive::Touch(KeyId id)
{
    RegKeyEntry info;
    if (const LONG result = KeyInfo(id, info); result != ERROR_SUCCESS)
        return result;
    // The time moves on every change, even within one clock tick.
    const uint64_t written = std::max(FileTimeNow(), info.written + 1);
    const int rc = m_st->setWritten.Bind(static_cast<int64_t>(written), id).Run();
    return rc == SQLITE_DONE ? ERROR_SUCCESS : Fail(rc);
}

LONG CHive::CreatePath(KeyId parent, const std::vector<std::string>& names, std::string_view cls,
                       KeyId& id, bool& created)
{
    return Write([&] {
        LONG result = RequireKey(parent);
        id = parent;
        created = false;
        for (size_t i = 0; result == ERROR_SUCCESS && i < names.size(); ++i)
            result = FindOrCreateChild(id, names[i], cls, id, created);
        return result;
    });
}

LONG CHive::FindOrCreateChild(KeyId parent, const std::string& name, std::string_view cls,
                              KeyId& child, bool& created)
{
    created = false;
    const LONG found = FindChild(parent, name, child);
    if (found != ERROR_FILE_NOT_FOUND)
        return found;
    const int rc =
        m_st->insertKey.Bind(parent, name, FoldName(name), cls, static_cast<int64_t>(FileTimeNow()))
            .Run();
    if (rc != SQLITE_DONE)
        return Fail(rc);
    child = sqlite3_last_insert_rowid(m_db);
    created = true;
    return Touch(parent);
}

LONG CHive::RequireKey(KeyId id)
{
    bool exists = false;
    const LONG result = KeyExists(id, exists);
    return result == ERROR_SUCCESS && !exists ? ERROR_KEY_DELETED : result;
}

LONG CHive::DeleteKey(KeyId id)
{
    if (id == RootKeyId)
        return ERROR_ACCESS_DENIED;
    return Write([&] {
        RegKeyEntry info;
        if (const LONG result = KeyInfo(id, info); result != ERROR_SUCCESS)
            return result;
        CStatement& count = m_st->childCount;
        count.Bind(id);
        const int64_t children = count.Next() ? count.Int(0) : 0;
        count.Reset();
        if (children > 0)
            return ERROR_ACCESS_DENIED;
        const LONG result = DeleteSubtree(id);
        return result == ERROR_SUCCESS ? Touch(info.parent) : result;
    });
}

LONG CHive::DeleteSubtree(KeyId id)
{
    std::vector<KeyId> children;
    CStatement& st = m_st->childIds;
    st.Bind(id);
    while (st.Next())
        children.push_back(st.Int(0));
    if (st.Error() != SQLITE_OK)
        return Fail(st.Error());
    for (const KeyId child : children) {
        if (const LONG result = DeleteSubtree(child); result != ERROR_SUCCESS)
            return result;
    }
    int rc = m_st->deleteValuesOf.Bind(id).Run();
    if (rc == SQLITE_DONE)
        rc = m_st->deleteKey.Bind(id).Run();
    return rc == SQLITE_DONE ? ERROR_SUCCESS : Fail(rc);
}

LONG CHive::DeleteTree(KeyId id, bool keepSelf)
{
    if (id == RootKeyId && !keepSelf)
        return ERROR_ACCESS_DENIED;
    return Write([&] {
        RegKeyEntry info;
        if (const LONG result = KeyInfo(id, info); result != ERROR_SUCCESS)
            return result;
        if (!keepSelf) {
            const LONG result = DeleteSubtree(id);
            return result == ERROR_SUCCESS ? Touch(info.parent) : result;
        }
        std::vector<RegKeyEntry> children;
        LONG result = SubKeys(id, children);
        for (size_t i = 0; result == ERROR_SUCCESS && i < children.size(); ++i)
            result = DeleteSubtree(children[i].id);
        if (result != ERROR_SUCCESS)
            return result;
        const int rc = m_st->deleteValuesOf.Bind(id).Run();
        return rc == SQLITE_DONE ? Touch(id) : Fail(rc);
    });
}

LONG CHive::QueryValue(KeyId key, std::string_view name, RegValue& value)
{
    CStatement& st = m_st->queryValue;
    st.Bind(key, FoldName(name));
    const bool found = st.Next();
    if (found) {
        value.name = st.Blob(0);
        value.type = static_cast<DWORD>(st.Int(1));
        value.data = st.Blob(2);
    }
    const int error = st.Error();
    st.Reset();
    if (error != SQLITE_OK)
        return Fail(error);
    return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG CHive::SetValue(KeyId key, std::string_view name, DWORD type, std::string_view data)
{
    return Write([&] {
        if (const LONG result = RequireKey(key); result != ERROR_SUCCESS)
            return result;
        const std::string fold = FoldName(name);
        // Replacing a value keeps its name's case and its place in the order.
        int rc = m_st->updateValue.Bind(type, data, key, fold).Run();
        if (rc == SQLITE_DONE && sqlite3_changes(m_db) == 0)
            rc = m_st->insertValue.Bind(key, name, fold, type, data).Run();
        return rc == SQLITE_DONE ? Touch(key) : Fail(rc);
    });
}

LONG CHive::DeleteValue(KeyId key, std::string_view name)
{
    return Write([&] {
        const int rc = m_st->deleteValue.Bind(key, FoldName(name)).Run();
        if (rc != SQLITE_DONE)
            return Fail(rc);
        return sqlite3_changes(m_db) == 0 ? ERROR_FILE_NOT_FOUND : Touch(key);
    });
}

LONG CHive::Values(KeyId key, std::vector<RegValue>& values)
{
    values.clear();
    CStatement& st = m_st->values;
    st.Bind(key);
    while (st.Next())
        values.push_back({st.Blob(0), static_cast<DWORD>(st.Int(1)), st.Blob(2)});
    return st.Error() == SQLITE_OK ? ERROR_SUCCESS : Fail(st.Error());
}

LONG CHive::SubKeys(KeyId key, std::vector<RegKeyEntry>& keys)
{
    keys.clear();
    CStatement& st = m_st->children;
    st.Bind(key);
    while (st.Next())
        keys.push_back({st.Int(0), st.Blob(1), st.Blob(2), static_cast<uint64_t>(st.Int(3)), key});
    return st.Error() == SQLITE_OK ? ERROR_SUCCESS : Fail(st.Error());
}

LONG CHive::KeyInfo(KeyId key, RegKeyEntry& info)
{
    CStatement& st = m_st->keyInfo;
    st.Bind(key);
    const bool found = st.Next();
    if (found)
        info = {st.Int(0), st.Blob(1), st.Blob(2), static_cast<uint64_t>(st.Int(3)), st.Int(4)};
    const int error = st.Error();
    st.Reset();
    if (error != SQLITE_OK)
        return Fail(error);
    return found ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

} // namespace zrv::reg
