// ReadXls: Excel 95-2003 workbooks (BIFF5/BIFF8 in a compound file). The
// workbook stream is taken out with CCompoundFile and read record by record
// with CBiffScanner, in memory: the file is never opened by name.

#include "sheet/io/CBiffScanner.h"
#include "sheet/io/CCompoundFile.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/FormatReaders.h"

#include <map>
#include <optional>
#include <vector>

namespace zrv::sheet {

namespace {

void PutScanned(CWorkbookBuilder& builder, std::size_t sheet,
                const std::map<CellRef, XlsCell>& cells, const std::vector<std::string>& strings)
{
    for (const auto& [ref, cell] : cells) {
        if (cell.sharedString == XlsCell::kNoString)
            builder.SetCell(sheet, ref.row, ref.column, cell.data);
        else
            builder.SetText(sheet, ref.row, ref.column, strings.at(cell.sharedString));
    }
}

} // namespace

WorkbookData ReadXls(std::string_view bytes)
{
    const CCompoundFile container(bytes);
    auto stream = container.Stream("Workbook");
    if (!stream)
        stream = container.Stream("Book");
    if (!stream)
        throw CReadError("not a spreadsheet file (a compound file without a workbook)");
    const XlsFacts facts = CBiffScanner(*stream).Scan();

    // Sheets without a cell table (chart sheets, modules) are left out.
    CWorkbookBuilder builder;
    std::optional<std::size_t> active;
    for (std::size_t i = 0; i < facts.sheetOffsets.size(); ++i) {
        if (!facts.sized[i])
            continue;
        const std::size_t sheet = builder.AddSheet(facts.sheetNames[i]);
        if (facts.activeTab == i)
            active = sheet;
        if (i < facts.cells.size())
            PutScanned(builder, sheet, facts.cells[i], facts.sharedStrings);
    }
    if (active)
        builder.SetActiveSheet(*active);
    return builder.Take();
}

} // namespace zrv::sheet
