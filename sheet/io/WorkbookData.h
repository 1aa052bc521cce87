#pragma once

// The contents of a spreadsheet file as the file layer reads and writes it:
// cell values of every sheet plus the little layout the application keeps.
// Texts are UTF-8 with the model's CR LF line breaks; the readers and the
// writer convert from and to the single LF of spreadsheet files.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zrv::sheet {

// A date or time is kept as its serial number: days since 1899-12-30 and the
// time as a fraction of a day (an automation VT_DATE).
enum class CellKind { Empty, Text, Number, Boolean, Error, Date };

struct CellData {
    CellKind kind = CellKind::Empty;
    std::string text;  // Text: the value; Error: the error's name ("#DIV/0!")
    double number = 0; // Number, Date
    bool boolean = false;
    bool operator==(const CellData&) const = default;
};

// 1-based row and column numbers.
struct CellRef {
    uint32_t row = 1;
    uint32_t column = 1;
    auto operator<=>(const CellRef&) const = default;
};

struct SheetData {
    std::string name;
    std::map<CellRef, CellData> cells;       // only cells that are not empty
    std::map<uint32_t, double> rowHeights;   // row -> height in points
    std::map<uint32_t, double> columnWidths; // column -> width in characters
    CellRef activeCell;
    bool operator==(const SheetData&) const = default;
};

struct WorkbookData {
    std::vector<SheetData> sheets;
    std::size_t activeSheet = 0; // index into sheets
    bool operator==(const WorkbookData&) const = default;
};

} // namespace zrv::sheet
