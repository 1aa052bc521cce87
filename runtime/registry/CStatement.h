#pragma once

#include <cstdint>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace zrv::reg {

// One prepared SQLite statement. Owned by its hive and reused; Run() and
// Next() leave it reset for the next use once a row loop ends.
class CStatement final {
public:
    CStatement(sqlite3* db, const char* sql);
    ~CStatement();
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    // Binds parameters 1..n in order; the statement is reset first.
    template <typename... Args> CStatement& Bind(const Args&... args)
    {
        Reset();
        int index = 1;
        (BindOne(index++, args), ...);
        return *this;
    }

    // Steps to completion; returns the SQLite result (SQLITE_DONE on success).
    int Run();
    // Steps to the next row: true while there is one. A failure ends the loop
    // and is kept in Error().
    bool Next();
    int Error() const { return m_error; }
    void Reset();

    int64_t Int(int column) const;
    std::string Blob(int column) const;

private:
    void BindOne(int index, int64_t value);
    void BindOne(int index, uint32_t value) { BindOne(index, static_cast<int64_t>(value)); }
    void BindOne(int index, int value) { BindOne(index, static_cast<int64_t>(value)); }
    void BindOne(int index, std::string_view value);
    void BindOne(int index, const std::string& value) { BindOne(index, std::string_view(value)); }

    sqlite3_stmt* m_stmt = nullptr;
    int m_error = SQLITE_OK;
};

} // namespace zrv::reg
