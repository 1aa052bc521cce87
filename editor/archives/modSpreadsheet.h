#pragma once

namespace modSpreadsheet {

// A spreadsheet application of version 5 or later is registered for the
// .xls file type on this machine.
bool ExcelInstalled();

} // namespace modSpreadsheet
