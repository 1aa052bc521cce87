#pragma once

#include <string>
#include <string_view>

namespace fortarc {

// A JSON string literal in UTF-8: quotes, backslashes and every control
// character (C0, DEL, C1) escaped.
std::string JsonString(std::u16string_view text);

} // namespace fortarc
