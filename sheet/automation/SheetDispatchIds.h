#pragma once

// Dispatch ids of the spreadsheet application's members, the numbers its
// callers bind to without looking names up. A member of the same name has
// the same id on every object that has it. Header only: callers include it
// without linking the application.

#include "runtime/ZrvTypes.h"

// Application.
inline constexpr DISPID DISPID_XL_SHEETS_IN_NEW_WORKBOOK = 993;
inline constexpr DISPID DISPID_XL_SCREEN_UPDATING = 382;
inline constexpr DISPID DISPID_XL_INTERACTIVE = 361;
inline constexpr DISPID DISPID_XL_VISIBLE = 558;
inline constexpr DISPID DISPID_XL_OPERATING_SYSTEM = 375;
inline constexpr DISPID DISPID_XL_WORKBOOKS = 572;
// Application and Workbook.
inline constexpr DISPID DISPID_XL_ACTIVE_SHEET = 307;
inline constexpr DISPID DISPID_XL_SELECTION = 147;
// Workbooks.
inline constexpr DISPID DISPID_XL_ADD = 181;
inline constexpr DISPID DISPID_XL_OPEN = 682;
inline constexpr DISPID DISPID_XL_COUNT = 118;
// Workbook.
inline constexpr DISPID DISPID_XL_CLOSE = 277;
// Worksheet.
inline constexpr DISPID DISPID_XL_RANGE = 197;
inline constexpr DISPID DISPID_XL_ROWS = 258;
inline constexpr DISPID DISPID_XL_COLUMNS = 241;
inline constexpr DISPID DISPID_XL_NAME = 110;
// Range (its default member, DISPID_VALUE, is Value too).
inline constexpr DISPID DISPID_XL_VALUE = 6;
inline constexpr DISPID DISPID_XL_ACTIVATE = 304;
// Row.
inline constexpr DISPID DISPID_XL_ROW_HEIGHT = 272;
// Column and Selection.
inline constexpr DISPID DISPID_XL_SELECT = 235;
inline constexpr DISPID DISPID_XL_COLUMN_WIDTH = 242;
