#pragma once

#include <optional>
#include <string>

namespace zrv::com {

// An automation date as text in the home platform's US English short form:
// "M/D/YYYY h:mm:ss AM"; the date alone at midnight, the time alone on day 0.
// Nullopt outside the years 100 to 9999.
std::optional<std::string> FormatDate(double date);

} // namespace zrv::com
