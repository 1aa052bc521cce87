#pragma once

// Small xls files built record by record, for cases no spreadsheet program
// writes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zrv::test {

std::string Le16(uint32_t value);
std::string Le32(uint32_t value);
std::string BiffRecord(uint16_t type, std::string_view data);

// Excel 97-2003 (BIFF8) or Excel 95 (BIFF5/7, texts in the code page).
enum class Biff { v8, v5 };

// DIMENSIONS of a sheet of `rows` x `columns` cells from A1.
std::string BiffDimensions(uint32_t rows, uint16_t columns, Biff version = Biff::v8);
// A NUMBER cell (0-based row and column) with XF `xf`.
std::string BiffNumber(uint16_t row, uint16_t column, double value, uint16_t xf = 15);

struct BiffSheet {
    std::string name;     // ASCII (BIFF5: bytes in the code page)
    std::string records;  // between the sheet's BOF and EOF
    uint16_t options = 0; // BOUNDSHEET: visibility, then sheet type (1: macros, 2: chart)
};

// An xls file: the workbook globals (`globals` after the BOF, then one
// BOUNDSHEET per sheet) and the sheets, in a compound file.
std::string XlsBytes(const std::string& globals, const std::vector<BiffSheet>& sheets,
                     Biff version = Biff::v8);

} // namespace zrv::test
