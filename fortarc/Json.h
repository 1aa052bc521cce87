#pragma once

#include <string>
#include <string_view>

namespace fortarc {

// A JSON string literal in UTF-8: quotes, backslashes and control characters
// escaped.
std::string JsonString(std::u16string_view text);

} // namespace fortarc
