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

} // namespace zrv::sheet
