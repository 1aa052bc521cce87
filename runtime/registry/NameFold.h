#pragma once

#include <string>
#include <string_view>

namespace zrv::reg {

// The form in which key and value names are compared and ordered: letters
// folded to lower case. Names that are valid UTF-8 fold the common alphabets
// (Latin, Greek, Cyrillic); other bytes fold ASCII only.
std::string FoldName(std::string_view name);

} // namespace zrv::reg
