#pragma once

// GUID text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" inside the runtime.

#include "runtime/ZrvTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace zrv::com {

// Upper case with braces, as registry keys carry it.
std::string GuidToString(const GUID& guid);
// Braces required, hex digits of any case, nothing else around.
std::optional<GUID> ParseGuid(std::string_view text);
std::optional<GUID> ParseGuid(std::u16string_view text);

} // namespace zrv::com
