#pragma once

#include "runtime/registry/CHive.h"
#include "runtime/registry/WinReg.h"

#include <string>
#include <vector>

namespace zrv::reg {

// Where one open key lives in one hive.
struct KeyPart {
    std::string hive;              // the hive file, fixed when the key was opened
    std::vector<std::string> base; // from the hive's root to the root of the view
    KeyId id = 0;                  // 0: the key does not exist in this hive
    std::string identity;          // the hive file id belongs to; empty for a root
};

// What an HKEY stands for: a key of one root, seen in one hive (current
// user, local machine) or merged from two (classes root: the user's first).
struct KeyHandle {
    HKEY root = 0;
    REGSAM sam = KEY_ALL_ACCESS;
    std::vector<std::string> path; // below the root of the view
    std::vector<KeyPart> parts;    // in order of precedence

    bool Merged() const { return parts.size() > 1; }
};

// Splits a key path at its backslashes; empty pieces are skipped.
std::vector<std::string> SplitKeyPath(const char* path);

} // namespace zrv::reg
