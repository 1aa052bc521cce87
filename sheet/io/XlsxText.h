#pragma once

// The escapes of xlsx texts: a character XML cannot carry (a CR, a control
// character) is written as "_xHHHH_", its UTF-16 code unit in hex, and a
// literal text of that form has its underscore escaped ("_x005F_").

#include <string>
#include <string_view>

namespace zrv::sheet {

// Replaces every "_xHHHH_" by the character it stands for (UTF-8).
std::string DecodeXlsxEscapes(std::string_view text);
// Escapes the underscore of every literal "_xHHHH_" so it reads back as written.
std::string EscapeXlsxLiterals(std::string_view text);

// Whether `name` is one of a spreadsheet's error values ("#DIV/0!", "#N/A", ...).
// The writer stores an error cell as the formula that is just its name, with
// the name as its result; the reader takes such a formula for the error.
bool IsErrorValueName(std::string_view name);

} // namespace zrv::sheet
