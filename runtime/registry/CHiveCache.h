#pragma once

#include "runtime/registry/CHive.h"
#include "runtime/ZrvTypes.h"

#include <map>
#include <memory>
#include <string>

namespace zrv::reg {

// The process's open hives, one connection per file, kept for the life of
// the process since callers open and close a key for every value they read.
// Not locked: callers hold the registry lock.
class CHiveCache final {
public:
    static CHiveCache& Instance();

    // The open hive of path; without create a missing file is
    // ERROR_FILE_NOT_FOUND. The hive stays owned by the cache.
    LONG Get(const std::string& path, bool create, CHive*& hive);

private:
    CHiveCache() = default;
    void ForgetInheritedConnections();

    std::map<std::string, std::unique_ptr<CHive>> m_hives;
};

} // namespace zrv::reg
