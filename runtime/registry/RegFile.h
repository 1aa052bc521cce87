#pragma once

#include "runtime/ZrvTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace zrv::reg {

// One value line of a registry file.
struct RegFileValue {
    std::string name; // in the ANSI code page; empty for the default value
    bool remove = false;
    DWORD type = 0;
    std::string data; // as the registry stores it: strings with their terminator

    bool operator==(const RegFileValue&) const = default;
};

// One [key] section of a registry file.
struct RegFileKey {
    std::string path; // with its root, in the ANSI code page
    bool remove = false;
    std::vector<RegFileValue> values;

    bool operator==(const RegFileKey&) const = default;
};

// The registry text format ("Windows Registry Editor Version 5.00"): [key]
// and [-key] sections; "name" or @ values as "text", dword:, hex:, hex(n):
// or - to delete. Files are UTF-8 (a UTF-16LE file with its byte-order mark
// is read too); hex(1), hex(2) and hex(7) data is UTF-16LE.
struct RegFile {
    std::vector<RegFileKey> keys;

    // Reads a whole file. On a fault returns false with error
    // "line N: what is wrong" for the first fault, and leaves file empty.
    static bool Parse(std::string_view text, RegFile& file, std::string& error);
    std::string Format() const;
};

} // namespace zrv::reg
