#pragma once

#include <string>

namespace zrv::test {

// Counts the files renamed onto one name in a folder from construction on:
// each rewrite of an archive through its temporary file is one such rename,
// while an append in place is none.
class CRenameWatch final {
public:
    CRenameWatch(const std::string& folder, std::string name);
    ~CRenameWatch();
    CRenameWatch(const CRenameWatch&) = delete;
    CRenameWatch& operator=(const CRenameWatch&) = delete;

    // Renames onto the name so far; -1 when the folder cannot be watched.
    int Count();

private:
    int m_fd;
    std::string m_name;
    int m_count = 0;
};

} // namespace zrv::test
