#pragma once

// What the reader program does to itself before it parses anything, so that
// whatever a file does to a parser stays inside this process: no new
// privileges, resource limits, and a system-call allow-list.

#include <cstdint>
#include <string>

namespace zrv::sheet::reader {

struct Grants {
    uint64_t addressSpaceBytes = 0; // on top of what is mapped when locking down
    unsigned cpuSeconds = 0;
};

// Descriptors other than 0 (the file), 1 (the answer) and 2 are closed, the
// process is made to end with its parent, then every limit, the file-system
// confinement (where the kernel offers Landlock) and the filter are put in
// place; false, with the step that
// failed in `failure`, when one cannot be (the caller must then read nothing).
bool LockDown(const Grants& grants, std::string& failure);

// Address space mapped now, in bytes (0 when unknown).
uint64_t MappedBytes();

} // namespace zrv::sheet::reader
