#pragma once

// One workbook of the application: its cells and layout (the file layer's
// WorkbookData), what is selected on each sheet, and what presentation needs
// to know: whether it was changed or never shown, and how many objects the
// caller holds inside it.

#include "sheet/io/WorkbookData.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zrv::sheet {

class CWorkbookModel final {
public:
    // A workbook added by the caller: sheets "Sheet1" to "SheetN", never shown.
    static std::shared_ptr<CWorkbookModel> CreateNew(uint32_t sheets);
    // A workbook read from a file: nothing to show until it is changed.
    static std::shared_ptr<CWorkbookModel> FromFile(WorkbookData data);

    CWorkbookModel(const CWorkbookModel&) = delete;
    CWorkbookModel& operator=(const CWorkbookModel&) = delete;

    const WorkbookData& Data() const { return m_data; }
    size_t ActiveSheet() const { return m_data.activeSheet; }

    // Cells and layout; sheet is an index below the sheet count.
    const CellData* Cell(size_t sheet, CellRef cell) const;
    void SetCell(size_t sheet, CellRef cell, CellData value);
    double RowHeight(size_t sheet, uint32_t row) const;
    void SetRowHeight(size_t sheet, uint32_t row, double points);
    double ColumnWidth(size_t sheet, uint32_t column) const;
    void SetColumnWidth(size_t sheet, uint32_t column, double characters);

    // The active cell, and the columns the selection covers (the active
    // cell's column when a cell is selected).
    void ActivateCell(size_t sheet, CellRef cell);
    void SelectColumns(size_t sheet, uint32_t first, uint32_t last);
    std::pair<uint32_t, uint32_t> SelectedColumns(size_t sheet) const;

    bool IsClosed() const { return m_closed; }
    void Close() { m_closed = true; }

    // Changed since it was last shown, or added and never shown.
    bool IsChanged() const { return m_changed; }
    bool IsUnshown() const { return m_unshown; }
    void MarkShown() { m_changed = m_unshown = false; }

    // Objects the caller holds inside this workbook.
    void AddHold() { ++m_holds; }
    // True when the last one went.
    bool DropHold() { return --m_holds == 0; }

    static constexpr double kDefaultRowHeight = 15;
    static constexpr double kDefaultColumnWidth = 8.43;

private:
    CWorkbookModel(WorkbookData data, bool unshown);

    struct Selection {
        bool columns = false; // whole columns first..last, else the active cell
        uint32_t first = 1;
        uint32_t last = 1;
    };

    WorkbookData m_data;
    std::vector<Selection> m_selections;
    size_t m_holds = 0;
    bool m_closed = false;
    bool m_changed = false;
    bool m_unshown;
};

} // namespace zrv::sheet
