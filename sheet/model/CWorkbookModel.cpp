#include "sheet/model/CWorkbookModel.h"

#include <map>
#include <string>

namespace zrv::sheet {

namespace {

// The size set for a row or column, or the default where none is.
double SizeOf(const std::map<uint32_t, double>& sizes, uint32_t at, double fallback)
{
    const auto found = sizes.find(at);
    return found == sizes.end() ? fallback : found->second;
}

} // namespace

std::shared_ptr<CWorkbookModel> CWorkbookModel::CreateNew(uint32_t sheets)
{
    WorkbookData data;
    for (uint32_t i = 1; i <= sheets; ++i)
        data.sheets.push_back(SheetData{"Sheet" + std::to_string(i), {}, {}, {}, {}});
    return std::shared_ptr<CWorkbookModel>(new CWorkbookModel(std::move(data), true));
}

std::shared_ptr<CWorkbookModel> CWorkbookModel::FromFile(WorkbookData data)
{
    if (data.sheets.empty())
        data.sheets.push_back(SheetData{"Sheet1", {}, {}, {}, {}});
    if (data.activeSheet >= data.sheets.size())
        data.activeSheet = 0;
    return std::shared_ptr<CWorkbookModel>(new CWorkbookModel(std::move(data), false));
}

CWorkbookModel::CWorkbookModel(WorkbookData data, bool unshown)
    : m_data(std::move(data)), m_selections(m_data.sheets.size()), m_unshown(unshown)
{
    for (size_t i = 0; i < m_data.sheets.size(); ++i) {
        m_selections[i].first = m_selections[i].last = m_data.sheets[i].activeCell.column;
    }
}

const CellData* CWorkbookModel::Cell(size_t sheet, CellRef cell) const
{
    const auto& cells = m_data.sheets.at(sheet).cells;
    const auto found = cells.find(cell);
    return found == cells.end() ? nullptr : &found->second;
}

void CWorkbookModel::SetCell(size_t sheet, CellRef cell, CellData value)
{
    auto& cells = m_data.sheets.at(sheet).cells;
    if (value.kind == CellKind::Empty)
        cells.erase(cell);
    else
        cells.insert_or_assign(cell, std::move(value));
    m_changed = true;
}

double CWorkbookModel::RowHeight(size_t sheet, uint32_t row) const
{
    return SizeOf(m_data.sheets.at(sheet).rowHeights, row, kDefaultRowHeight);
}

void CWorkbookModel::SetRowHeight(size_t sheet, uint32_t row, double points)
{
    m_data.sheets.at(sheet).rowHeights[row] = points;
    m_changed = true;
}

double CWorkbookModel::ColumnWidth(size_t sheet, uint32_t column) const
{
    return SizeOf(m_data.sheets.at(sheet).columnWidths, column, kDefaultColumnWidth);
}

void CWorkbookModel::SetColumnWidth(size_t sheet, uint32_t column, double characters)
{
    m_data.sheets.at(sheet).columnWidths[column] = characters;
    m_changed = true;
}

void CWorkbookModel::ActivateCell(size_t sheet, CellRef cell)
{
    Selection& selection = m_selections.at(sheet);
    m_data.sheets.at(sheet).activeCell = cell;
    // A cell inside the selected columns keeps them selected.
    if (!selection.columns || cell.column < selection.first || cell.column > selection.last)
        selection = Selection{false, cell.column, cell.column};
    m_changed = true;
}

void CWorkbookModel::SelectColumns(size_t sheet, uint32_t first, uint32_t last)
{
    m_selections.at(sheet) = Selection{true, first, last};
    m_data.sheets.at(sheet).activeCell = CellRef{1, first};
    m_changed = true;
}

std::pair<uint32_t, uint32_t> CWorkbookModel::SelectedColumns(size_t sheet) const
{
    const Selection& selection = m_selections.at(sheet);
    return {selection.first, selection.last};
}

} // namespace zrv::sheet
