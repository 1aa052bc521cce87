#pragma once

// Showing a workbook in the desktop's spreadsheet program: written as a new
// BookN.xlsx in the user's documents folder and opened with ShellExecuteA.
//
// Whether anything can show it is asked of the environment: a display
// (DISPLAY or WAYLAND_DISPLAY) and the program `xdg-mime query default` names
// for the xlsx type. Tests put a stand-in `xdg-mime` first in PATH.

#include "sheet/io/WorkbookData.h"

#include <string>

namespace zrv::sheet {

inline constexpr char kXlsxMimeType[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

// Why workbooks cannot be shown now; empty when they can.
std::string CannotShowReason();

// Writes the workbook as the first free BookN.xlsx (N from 1; an existing file
// is never replaced) and asks the desktop to open it. False with a reason.
bool ShowWorkbook(const WorkbookData& workbook, std::string& shownFile, std::string& error);

} // namespace zrv::sheet
