#include "runtime/registry/CStatement.h"

#include <stdexcept>

namespace zrv::reg {

CStatement::CStatement(sqlite3* db, const char* sql)
{
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

CStatement::~CStatement()
{
    sqlite3_finalize(m_stmt);
}

void CStatement::Reset()
{
    sqlite3_reset(m_stmt);
    m_error = SQLITE_OK;
}

int CStatement::Run()
{
    int rc = sqlite3_step(m_stmt);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(m_stmt);
    sqlite3_reset(m_stmt);
    return rc;
}

bool CStatement::Next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_error = rc;
    sqlite3_reset(m_stmt);
    return false;
}

int64_t CStatement::Int(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string CStatement::Blob(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data ? std::string(data, static_cast<size_t>(size)) : std::string();
}

void CStatement::BindOne(int index, int64_t value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void CStatement::BindOne(int index, std::string_view value)
{
    // A null pointer would bind NULL; an empty name is a zero-length blob.
    static const char empty = 0;
    sqlite3_bind_blob64(m_stmt, index, value.empty() ? &empty : value.data(), value.size(),
                        SQLITE_TRANSIENT);
}

} // namespace zrv::reg
