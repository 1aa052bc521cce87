#pragma once

// Cell values for the file layer's tests, and how failures print them.

#include "sheet/io/WorkbookData.h"

#include <ostream>
#include <string>

namespace zrv::sheet {

inline CellData Text(std::string text)
{
    CellData cell;
    cell.kind = CellKind::Text;
    cell.text = std::move(text);
    return cell;
}

inline CellData Number(double number)
{
    CellData cell;
    cell.kind = CellKind::Number;
    cell.number = number;
    return cell;
}

inline CellData Date(double serial)
{
    CellData cell;
    cell.kind = CellKind::Date;
    cell.number = serial;
    return cell;
}

inline CellData Boolean(bool value)
{
    CellData cell;
    cell.kind = CellKind::Boolean;
    cell.boolean = value;
    return cell;
}

inline CellData Error(std::string name)
{
    CellData cell;
    cell.kind = CellKind::Error;
    cell.text = std::move(name);
    return cell;
}

inline void PrintTo(const CellRef& ref, std::ostream* out)
{
    *out << "R" << ref.row << "C" << ref.column;
}

inline void PrintTo(const CellData& cell, std::ostream* out)
{
    switch (cell.kind) {
    case CellKind::Empty:
        *out << "empty";
        break;
    case CellKind::Text:
        *out << "text \"" << cell.text << "\"";
        break;
    case CellKind::Number:
        *out << "number " << cell.number;
        break;
    case CellKind::Date:
        *out << "date " << cell.number;
        break;
    case CellKind::Boolean:
        *out << (cell.boolean ? "TRUE" : "FALSE");
        break;
    case CellKind::Error:
        *out << "error " << cell.text;
        break;
    }
}

} // namespace zrv::sheet
