#pragma once

// Cell addresses as callers write them: "A1", "b10000", "XFD1048576".
// Column letters and row numbers stand alone for Columns("A") and Rows(5).

#include "sheet/io/WorkbookData.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zrv::sheet {

constexpr uint32_t kMaxRow = 1048576;  // rows of an xlsx sheet
constexpr uint32_t kMaxColumn = 16384; // columns A to XFD

// Letters (either case) followed by a row number without leading zeros;
// nothing else, no "$", no ranges. Nullopt outside the sheet.
std::optional<CellRef> ParseCellAddress(std::u16string_view text);
// One to three letters, either case, up to "XFD".
std::optional<uint32_t> ParseColumnLetters(std::u16string_view text);
// Decimal digits without sign or leading zeros, 1 to kMaxRow.
std::optional<uint32_t> ParseRowNumber(std::u16string_view text);

} // namespace zrv::sheet
