#include "runtime/registry/CHiveTransaction.h"

namespace zrv::reg {

CHiveTransaction::~CHiveTransaction()
{
    if (m_open)
        Exec("ROLLBACK");
}

int CHiveTransaction::Begin()
{
    const int rc = Exec("BEGIN IMMEDIATE");
    m_open = rc == SQLITE_OK;
    return rc;
}

int CHiveTransaction::Commit()
{
    m_open = false;
    const int rc = Exec("COMMIT");
    if (rc != SQLITE_OK)
        Exec("ROLLBACK");
    return rc;
}

int CHiveTransaction::Exec(const char* sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

} // namespace zrv::reg
