// Prints what the spreadsheet tests check of a file, one item a line: the
// active sheet's cells ("A1 text Hello\r\nWorld"), row heights, column widths
// and the active cell. Exits with 1 and the reason when the file is no
// spreadsheet.
#include "sheet/io/WorkbookFiles.h"

#include <iostream>
#include <string>

namespace {

std::string Escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string Address(const zrv::sheet::CellRef& ref)
{
    std::string column;
    for (uint32_t n = ref.column; n > 0; n = (n - 1) / 26)
        column.insert(column.begin(), static_cast<char>('A' + (n - 1) % 26));
    return column + std::to_string(ref.row);
}

const char* KindName(zrv::sheet::CellKind kind)
{
    switch (kind) {
    case zrv::sheet::CellKind::Text:
        return "text";
    case zrv::sheet::CellKind::Number:
        return "number";
    case zrv::sheet::CellKind::Boolean:
        return "boolean";
    case zrv::sheet::CellKind::Error:
        return "error";
    case zrv::sheet::CellKind::Date:
        return "date";
    case zrv::sheet::CellKind::Empty:
        break;
    }
    return "empty";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: sheetdump FILE\n";
        return 2;
    }
    std::string error;
    const auto book = zrv::sheet::ReadWorkbookFile(argv[1], error);
    if (!book || book->sheets.empty()) {
        std::cerr << "not a spreadsheet: " << error << '\n';
        return 1;
    }
    const zrv::sheet::SheetData& sheet = book->sheets.at(book->activeSheet);
    for (const auto& [ref, cell] : sheet.cells) {
        std::cout << Address(ref) << ' ' << KindName(cell.kind) << ' ';
        if (cell.kind == zrv::sheet::CellKind::Number || cell.kind == zrv::sheet::CellKind::Date)
            std::cout << cell.number;
        else if (cell.kind == zrv::sheet::CellKind::Boolean)
            std::cout << (cell.boolean ? "true" : "false");
        else
            std::cout << Escaped(cell.text);
        std::cout << '\n';
    }
    for (const auto& [row, height] : sheet.rowHeights)
        std::cout << "row " << row << " height " << height << '\n';
    for (const auto& [column, width] : sheet.columnWidths)
        std::cout << "column " << column << " width " << width << '\n';
    std::cout << "active " << Address(sheet.activeCell) << '\n';
    return 0;
}
