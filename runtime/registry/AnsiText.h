#pragma once

#include <string>
#include <string_view>

namespace zrv::reg {

// Conversions between the active ANSI code page, in which the registry keeps
// its texts, and the encodings of registry files. When the code page is
// UTF-8 the UTF-8 conversions pass bytes through unchanged.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
// UTF-16 little-endian bytes, as registry files hold REG_SZ, REG_EXPAND_SZ
// and REG_MULTI_SZ data in hex form.
std::string AnsiToUtf16Le(std::string_view ansi);
std::string Utf16LeToAnsi(std::string_view utf16le);

} // namespace zrv::reg
