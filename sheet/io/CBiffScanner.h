#pragma once

#include "sheet/io/CDateFormats.h"
#include "sheet/io/WorkbookData.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrv::sheet {

// Cells the sheets of a workbook may span together (declared or used rows x
// columns of each sheet).
inline constexpr uint64_t kMaxXlsSheetArea = 4u << 20;

// A cell as the scan reads it; a shared string is named by its index.
struct XlsCell {
    static constexpr uint32_t kNoString = UINT32_MAX;
    CellData data;
    uint32_t sharedString = kNoString;
};

// What the scan of a workbook stream finds, per sheet in BOUNDSHEET order.
struct XlsFacts {
    std::optional<uint32_t> activeTab;
    std::vector<uint32_t> sheetOffsets; // where each sheet's BOF starts
    std::vector<std::string> sheetNames;
    // The sheet's substream has a DIMENSIONS record: a worksheet (or macro
    // sheet), not a chart sheet or a module.
    std::vector<bool> sized;
    std::vector<std::map<CellRef, XlsCell>> cells;
    std::vector<std::string> sharedStrings;
};

// Reads every record of a BIFF5/BIFF8 workbook stream: the sheets, the active
// sheet, shared strings (texts carried on over CONTINUE records), cell texts
// (BIFF5's in the workbook's code page), numbers and dates (by their cell
// formats), booleans, error values and formula results. Refuses damaged and
// oversized streams before allocating for them: records longer than the
// format allows or past the stream, texts past their records, cells outside
// a sheet's cell table, sheets whose sizes together are too large, a shared
// string table larger than the stream could hold, a file with a password.
class CBiffScanner final {
public:
    explicit CBiffScanner(std::string_view stream) : m_stream(stream) {}

    XlsFacts Scan();

private:
    void Record(std::size_t pos, uint16_t type, std::string_view data);
    void Global(uint16_t type, std::string_view data);
    void BoundSheet(std::string_view data);
    void Version(std::string_view bof);
    void FinishContinued();
    void BeginSubstream(std::size_t pos);
    void EndSubstream();
    void Cell(uint16_t type, std::string_view data);
    void Label(uint32_t row, uint32_t column, std::string_view data);
    std::string ByteString(std::string_view data, std::size_t offset, std::size_t bytes) const;
    void Value(uint32_t row, uint32_t column, uint32_t cellFormat, double value);
    void Formula(uint32_t row, uint32_t column, std::string_view data);
    void Put(uint32_t row, uint32_t column, XlsCell cell);
    void CountText(std::size_t bytes);
    void Dimensions(std::string_view data);
    uint64_t Area() const;
    void CheckArea() const;

    std::string_view m_stream;
    XlsFacts m_facts;
    CDateFormats m_dates;
    bool m_biff8 = true;
    uint32_t m_codePage = 1252;
    // A record CONTINUE records carry on: SST or STRING, and its parts.
    uint16_t m_continued = 0;
    std::vector<std::string_view> m_parts;
    uint64_t m_sstUnique = 0;
    bool m_sawSst = false;
    std::optional<CellRef> m_formulaText; // a formula whose text result comes next
    std::size_t m_cellCount = 0;
    std::size_t m_textBytes = 0; // of sheet names and texts other than shared strings
    bool m_seenGlobals = false;
    bool m_inGlobals = false;
    bool m_inSubstream = false;
    std::optional<std::size_t> m_sheet;
    bool m_sawDimensions = false;
    uint64_t m_declaredRows = 0;
    uint64_t m_declaredColumns = 0;
    uint64_t m_lastRow = 0;
    uint64_t m_lastColumn = 0;
    uint64_t m_otherSheetsArea = 0; // of the sheets before this one
};

} // namespace zrv::sheet
