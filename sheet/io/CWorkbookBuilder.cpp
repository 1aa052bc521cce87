#include "sheet/io/CWorkbookBuilder.h"

#include "sheet/io/CellText.h"
#include "sheet/io/WorkbookLimits.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zrv::sheet {

namespace {

std::string OneLine(std::string_view reason)
{
    std::string line = ValidUtf8(reason);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return line;
}

} // namespace

CReadError::CReadError(std::string_view reason) : std::runtime_error(OneLine(reason)) {}

std::size_t CWorkbookBuilder::AddSheet(std::string name)
{
    if (m_workbook.sheets.size() >= kMaxSheets)
        throw CReadError("more than " + std::to_string(kMaxSheets) + " sheets");
    CountText(name.size());
    SheetData sheet;
    sheet.name = ValidUtf8(name);
    m_workbook.sheets.push_back(std::move(sheet));
    return m_workbook.sheets.size() - 1;
}

void CWorkbookBuilder::CheckPosition(uint32_t row, uint32_t column)
{
    if (row < 1 || row > kMaxRows)
        throw CReadError("row " + std::to_string(row) + " is past the last row " +
                         std::to_string(kMaxRows));
    if (column < 1 || column > kMaxColumns)
        throw CReadError("column " + std::to_string(column) + " is past the last column " +
                         std::to_string(kMaxColumns));
}

uint32_t CWorkbookBuilder::CheckedRow(int64_t row)
{
    if (row < 1)
        throw CReadError("row " + std::to_string(row) + " is before the first row");
    const auto checked = static_cast<uint32_t>(std::min<int64_t>(row, int64_t{kMaxRows} + 1));
    CheckPosition(checked, 1);
    return checked;
}

CellData& CWorkbookBuilder::NewCell(std::size_t sheet, uint32_t row, uint32_t column)
{
    CheckPosition(row, column);
    auto& cells = m_workbook.sheets.at(sheet).cells;
    const CellRef ref{row, column};
    // Files list cells in order, so the hint at the end makes this constant time.
    const auto hint = cells.lower_bound(ref);
    if (hint != cells.end() && hint->first == ref) {
        hint->second = CellData{};
        return hint->second;
    }
    ReserveCells(1);
    ++m_cells;
    return cells.emplace_hint(hint, ref, CellData{})->second;
}

void CWorkbookBuilder::ClearCell(std::size_t sheet, uint32_t row, uint32_t column)
{
    CheckPosition(row, column);
    m_workbook.sheets.at(sheet).cells.erase(CellRef{row, column});
}

void CWorkbookBuilder::ReserveCells(uint64_t count) const
{
    if (count > kMaxCells - m_cells)
        throw CReadError("more than " + std::to_string(kMaxCells) + " cells");
}

void CWorkbookBuilder::CountText(std::size_t bytes)
{
    m_textBytes += bytes;
    if (m_textBytes > kMaxTextBytes)
        throw CReadError("more than " + std::to_string(kMaxTextBytes >> 20) + " MiB of text");
}

void CWorkbookBuilder::SetCell(std::size_t sheet, uint32_t row, uint32_t column,
                               const CellData& data)
{
    switch (data.kind) {
    case CellKind::Text:
        SetText(sheet, row, column, data.text);
        break;
    case CellKind::Number:
        SetNumber(sheet, row, column, data.number);
        break;
    case CellKind::Date:
        SetDate(sheet, row, column, data.number);
        break;
    case CellKind::Boolean:
        SetBoolean(sheet, row, column, data.boolean);
        break;
    case CellKind::Error:
        SetError(sheet, row, column, data.text);
        break;
    case CellKind::Empty:
        break;
    }
}

void CWorkbookBuilder::SetText(std::size_t sheet, uint32_t row, uint32_t column,
                               std::string_view fileText)
{
    if (fileText.empty()) {
        ClearCell(sheet, row, column); // an empty text is an empty cell
        return;
    }
    CellData& cell = NewCell(sheet, row, column);
    cell.kind = CellKind::Text;
    cell.text = IsValidUtf8(fileText) ? ToModelText(fileText) : ToModelText(ValidUtf8(fileText));
    CountText(cell.text.size());
}

void CWorkbookBuilder::SetNumber(std::size_t sheet, uint32_t row, uint32_t column, double number)
{
    if (!std::isfinite(number)) {
        ClearCell(sheet, row, column);
        return;
    }
    CellData& cell = NewCell(sheet, row, column);
    cell.kind = CellKind::Number;
    cell.number = number;
}

void CWorkbookBuilder::SetDate(std::size_t sheet, uint32_t row, uint32_t column, double serial)
{
    SetNumber(sheet, row, column, serial);
    MarkDate(sheet, row, column);
}

bool CWorkbookBuilder::MarkDate(std::size_t sheet, uint32_t row, uint32_t column, double daysAdded)
{
    auto& cells = m_workbook.sheets.at(sheet).cells;
    const auto cell = cells.find(CellRef{row, column});
    if (cell == cells.end())
        return false;
    if (cell->second.kind == CellKind::Number) {
        cell->second.kind = CellKind::Date;
        cell->second.number += daysAdded;
    }
    return true;
}

void CWorkbookBuilder::SetBoolean(std::size_t sheet, uint32_t row, uint32_t column, bool value)
{
    CellData& cell = NewCell(sheet, row, column);
    cell.kind = CellKind::Boolean;
    cell.boolean = value;
}

void CWorkbookBuilder::SetError(std::size_t sheet, uint32_t row, uint32_t column,
                                std::string_view name)
{
    CellData& cell = NewCell(sheet, row, column);
    cell.kind = CellKind::Error;
    cell.text = ValidUtf8(name);
    CountText(cell.text.size());
}

void CWorkbookBuilder::CopyCell(std::size_t sheet, CellRef from, CellRef to)
{
    const auto& cells = m_workbook.sheets.at(sheet).cells;
    const auto source = cells.find(from);
    if (source == cells.end())
        return;
    const CellData copy = source->second;
    NewCell(sheet, to.row, to.column) = copy;
    CountText(copy.text.size());
}

void CWorkbookBuilder::SetLayout(std::map<uint32_t, double>& entries, uint32_t at, double size)
{
    if (!std::isfinite(size) || size < 0)
        return;
    const auto [entry, added] = entries.try_emplace(at, size);
    if (!added) {
        entry->second = size;
        return;
    }
    if (++m_layoutEntries > kMaxLayoutEntries) {
        entries.erase(entry);
        throw CReadError("more than " + std::to_string(kMaxLayoutEntries) +
                         " row heights and column widths");
    }
}

void CWorkbookBuilder::SetRowHeight(std::size_t sheet, uint32_t row, double points)
{
    CheckPosition(row, 1);
    SetLayout(m_workbook.sheets.at(sheet).rowHeights, row, points);
}

void CWorkbookBuilder::SetColumnWidth(std::size_t sheet, uint32_t column, double characters)
{
    CheckPosition(1, column);
    SetLayout(m_workbook.sheets.at(sheet).columnWidths, column, characters);
}

void CWorkbookBuilder::SetActiveSheet(std::size_t sheet)
{
    if (sheet < m_workbook.sheets.size())
        m_workbook.activeSheet = sheet;
}

void CWorkbookBuilder::SetActiveCell(std::size_t sheet, uint32_t row, uint32_t column)
{
    if (sheet < m_workbook.sheets.size() && row >= 1 && row <= kMaxRows && column >= 1 &&
        column <= kMaxColumns)
        m_workbook.sheets[sheet].activeCell = CellRef{row, column};
}

WorkbookData CWorkbookBuilder::Take()
{
    if (m_workbook.sheets.empty())
        throw CReadError("the file holds no sheet");
    return std::move(m_workbook);
}

} // namespace zrv::sheet
