#pragma once

// Reading and writing spreadsheet files. The reader is chosen by the file's
// content, never by its name: xlsx, xls, ods, or CSV / plain text.

#include "engine/CUniqueFd.h"
#include "sheet/io/WorkbookData.h"

#include <optional>
#include <string>
#include <string_view>

namespace zrv::sheet {

// Reads the whole workbook, or gives nullopt with a one-line reason in error
// (damaged, not a spreadsheet, over the size limits, protected).
// What cells hold: a formula its cached result (never evaluated; none: empty);
// a number in a date format, or a date typed as such, a Date; error values
// Error with their name. Limits: WorkbookLimits.h.
std::optional<WorkbookData> ReadWorkbookFile(const std::string& path, std::string& error);
// The same for a file's bytes already in memory.
std::optional<WorkbookData> ReadWorkbookBytes(std::string_view bytes, std::string& error);

// Opens a file to be read: a regular file within kMaxFileBytes, opened without
// waiting (a FIFO is refused, never waited on). Throws CReadError with the
// one-line reason.
CUniqueFd OpenWorkbookFile(const std::string& path);

// Writes an xlsx file; the target must not exist yet (never replaced).
// Refused before anything is written: a text over 32,767 characters (UTF-16
// units of its LF form) or not valid UTF-8, a number that is not finite, an
// unknown error value, a sheet name xlsx cannot hold.
bool WriteXlsxFile(const WorkbookData& workbook, const std::string& path, std::string& error);

} // namespace zrv::sheet
