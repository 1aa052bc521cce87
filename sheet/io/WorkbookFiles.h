#pragma once

// Reading and writing spreadsheet files. The reader is chosen by the file's
// content, never by its name: xlsx, xls, ods, or CSV / plain text.

#include "sheet/io/WorkbookData.h"

#include <optional>
#include <string>

namespace zrv::sheet {

// Reads the whole workbook, or gives nullopt with a one-line reason in error
// (damaged, not a spreadsheet, over the size limits, protected).
std::optional<WorkbookData> ReadWorkbookFile(const std::string& path, std::string& error);

// Writes an xlsx file; the target must not exist yet (never replaced).
bool WriteXlsxFile(const WorkbookData& workbook, const std::string& path, std::string& error);

} // namespace zrv::sheet
