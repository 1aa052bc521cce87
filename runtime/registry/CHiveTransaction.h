#pragma once

#include <sqlite3.h>

namespace zrv::reg {

// One immediate (write) transaction on a hive's connection; rolled back
// unless committed. Results are SQLite's codes.
class CHiveTransaction final {
public:
    explicit CHiveTransaction(sqlite3* db) : m_db(db) {}
    ~CHiveTransaction();
    CHiveTransaction(const CHiveTransaction&) = delete;
    CHiveTransaction& operator=(const CHiveTransaction&) = delete;

    int Begin();
    // A commit that fails is rolled back.
    int Commit();

private:
    int Exec(const char* sql);

    sqlite3* m_db;
    bool m_open = false;
};

} // namespace zrv::reg
