#pragma once

#include "sheet/io/WorkbookData.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zrv::sheet {

// A file that cannot be read: damaged, hostile or over a limit. The message is
// the one-line reason ReadWorkbookFile hands on; what it quotes from the file
// is made one line of valid UTF-8.
class CReadError final : public std::runtime_error {
public:
    explicit CReadError(std::string_view reason);
};

// Collects what a reader finds into WorkbookData and holds it to the limits of
// WorkbookLimits.h, throwing CReadError past any of them. Rows and columns are
// 1-based; texts arrive as file texts (LF) and are kept as model texts (CR LF)
// in valid UTF-8 (what is not becomes U+FFFD).
class CWorkbookBuilder final {
public:
    std::size_t AddSheet(std::string name);
    std::size_t SheetCount() const { return m_workbook.sheets.size(); }
    const std::string& SheetName(std::size_t sheet) const
    {
        return m_workbook.sheets.at(sheet).name;
    }

    // Sets the cell by the kind of `data`, as the setters below do.
    void SetCell(std::size_t sheet, uint32_t row, uint32_t column, const CellData& data);
    void SetText(std::size_t sheet, uint32_t row, uint32_t column, std::string_view fileText);
    // A number that is not finite (no spreadsheet holds one) leaves the cell empty.
    void SetNumber(std::size_t sheet, uint32_t row, uint32_t column, double number);
    // A date's serial number (WorkbookData.h); as SetNumber when it is not finite.
    void SetDate(std::size_t sheet, uint32_t row, uint32_t column, double serial);
    // A number cell becomes a date, `daysAdded` added to it; other cells
    // stay. False when there is no cell (yet).
    bool MarkDate(std::size_t sheet, uint32_t row, uint32_t column, double daysAdded = 0);
    void SetBoolean(std::size_t sheet, uint32_t row, uint32_t column, bool value);
    void SetError(std::size_t sheet, uint32_t row, uint32_t column, std::string_view name);
    // Fails at once when `count` more cells would go past the cell limit.
    void ReserveCells(uint64_t count) const;
    // Copies a cell (nothing when it is empty); every copy counts against the limits.
    void CopyCell(std::size_t sheet, CellRef from, CellRef to);

    void SetRowHeight(std::size_t sheet, uint32_t row, double points);
    void SetColumnWidth(std::size_t sheet, uint32_t column, double characters);
    void SetActiveSheet(std::size_t sheet);
    void SetActiveCell(std::size_t sheet, uint32_t row, uint32_t column);

    // The workbook read; a file without any sheet is an error.
    WorkbookData Take();

    static void CheckPosition(uint32_t row, uint32_t column);
    // A 1-based row number as a file states it, checked against the first and last row.
    static uint32_t CheckedRow(int64_t row);

private:
    CellData& NewCell(std::size_t sheet, uint32_t row, uint32_t column);
    void ClearCell(std::size_t sheet, uint32_t row, uint32_t column);
    void CountText(std::size_t bytes);
    // Sizes that are not finite or negative are left out; every new entry
    // counts against kMaxLayoutEntries.
    void SetLayout(std::map<uint32_t, double>& entries, uint32_t at, double size);

    WorkbookData m_workbook;
    std::size_t m_cells = 0;
    std::size_t m_textBytes = 0;
    std::size_t m_layoutEntries = 0;
};

} // namespace zrv::sheet
