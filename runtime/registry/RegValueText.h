#pragma once

#include "runtime/registry/WinReg.h"

#include <optional>
#include <string>

// Registry values as zrvreg shows and reads them on its command line.
namespace zrv::reg {

// Lower-case ASCII; other bytes stay.
std::string Lower(std::string text);
// "REG_SZ" and the like; "REG_0x<n>" for a type without a name.
std::string NameOfType(DWORD type);
// The type a name stands for, in any case; none for an unknown name.
std::optional<DWORD> TypeOfName(const std::string& name);
// Two upper-case hex digits a byte.
std::string HexText(const std::string& bytes);
// Appends the bytes that pairs of hex digits stand for; false on anything else.
bool ParseHexText(const std::string& text, std::string& bytes);
// A number in decimal or with 0x in hex that fits 32 bits.
std::optional<DWORD> ParseDword(const std::string& text);
// String data without its terminating NUL, as UTF-8.
std::string StringOfData(const std::string& data);
// Data as a query shows it: strings as text, a DWORD as 0x hex, the rest as hex bytes.
std::string DataText(DWORD type, const std::string& data);

} // namespace zrv::reg
