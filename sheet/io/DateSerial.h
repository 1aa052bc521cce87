#pragma once

// Dates as cells keep them (WorkbookData.h): serial numbers counted in days
// from 1899-12-30, the time as a fraction of a day (before that day, as
// VT_DATE has it: -1.75 is 1899-12-29 18:00).

#include <optional>
#include <string_view>

namespace zrv::sheet {

// Nothing for a day that does not exist or a time outside a day.
std::optional<double> DateSerial(int year, int month, int day, int hour = 0, int minute = 0,
                                 double second = 0);

// OpenDocument values: a date "2024-03-15" or date and time
// "2024-03-15T12:30:00.5" (a zone is ignored), and a duration "PT12H30M00S".
std::optional<double> ParseIsoDate(std::string_view text);
std::optional<double> ParseIsoDuration(std::string_view text);

} // namespace zrv::sheet
