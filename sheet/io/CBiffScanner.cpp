#include "sheet/io/CBiffScanner.h"

#include "sheet/io/BiffStrings.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookLimits.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace zrv::sheet {

namespace {

constexpr std::size_t kMaxRecordLength = 8224; // BIFF8's limit (BIFF5: 2080)

enum RecordType : uint16_t {
    kBof = 0x0809,
    kContinue = 0x003C,
    kFormat = 0x041E,
    kXf = 0x00E0,
    kDateMode = 0x0022,
    kCodePage = 0x0042,
    kLabel = 0x0204,
    kRString = 0x00D6,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kWindow1 = 0x003D,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kDimensions = 0x0200,
    kLabelSst = 0x00FD,
    kNumber = 0x0203,
    kRk = 0x027E,
    kFormula = 0x0006,
    kString = 0x0207,
    kBoolErr = 0x0205,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
};

bool IsCellRecord(uint16_t type)
{
    switch (type) {
    case kLabelSst:
    case kNumber:
    case kRk:
    case kFormula:
    case 0x0201: // BLANK
    case kLabel:
    case kRString:
    case kBoolErr:
    case kMulRk:
    case kMulBlank:
        return true;
    default:
        return false;
    }
}

uint32_t Little(std::string_view data, std::size_t offset, std::size_t bytes)
{
    uint32_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) {
        const std::size_t at = offset + i;
        value = value << 8 | (at < data.size() ? static_cast<unsigned char>(data[at]) : 0u);
    }
    return value;
}

double Float64(std::string_view data, std::size_t offset)
{
    return std::bit_cast<double>(uint64_t{Little(data, offset + 4, 4)} << 32 |
                                 Little(data, offset, 4));
}

// An RK value: a 30-bit integer or the high bits of a double, maybe divided by 100.
double RkNumber(uint32_t rk)
{
    const double value = rk & 2 ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                                : std::bit_cast<double>(uint64_t{rk & 0xFFFFFFFCu} << 32);
    return rk & 1 ? value / 100 : value;
}

std::string ErrorName(uint8_t code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    default:
        return "#N/A";
    }
}

// A boolean (code 0) or error value (code 1) of a BOOLERR record or a formula result.
CellData BoolOrError(uint8_t value, bool isError)
{
    CellData cell;
    if (isError) {
        cell.kind = CellKind::Error;
        cell.text = ErrorName(value);
    } else {
        cell.kind = CellKind::Boolean;
        cell.boolean = value != 0;
    }
    return cell;
}

void CheckString(bool fits)
{
    if (!fits)
        throw CReadError("damaged xls file (a text longer than its record)");
}

} // namespace

XlsFacts CBiffScanner::Scan()
{
    std::size_t pos = 0;
    while (pos + 4 <= m_stream.size()) {
        const auto type = static_cast<uint16_t>(Little(m_stream, pos, 2));
        const std::size_t length = Little(m_stream, pos + 2, 2);
        if (type == 0 && length == 0)
            break; // padding after the last record
        if (length > kMaxRecordLength)
            throw CReadError("damaged xls file (a record longer than the format allows)");
        if (pos + 4 + length > m_stream.size())
            throw CReadError("damaged xls file (a record past the end of the workbook)");
        Record(pos, type, m_stream.substr(pos + 4, length));
        pos += 4 + length;
    }
    FinishContinued();
    return std::move(m_facts);
}

void CBiffScanner::Record(std::size_t pos, uint16_t type, std::string_view data)
{
    if (m_continued != 0) {
        if (type == kContinue) {
            m_parts.push_back(data);
            return;
        }
        FinishContinued();
    }
    if (type == kBof) {
        if (!m_seenGlobals)
            Version(data);
        // A BOF before the last one's EOF (an embedded chart) is part of
        // the open substream.
        if (!m_inSubstream)
            BeginSubstream(pos);
        m_inSubstream = true;
    } else if (type == kEof) {
        EndSubstream();
    } else if (IsCellRecord(type) &&
               (!m_inSubstream || m_inGlobals || !m_sheet || !m_sawDimensions)) {
        throw CReadError("damaged xls file (a cell outside a sheet's cell table)");
    } else if (!m_inGlobals && (type == kBoundSheet || type == kSst)) {
        throw CReadError("damaged xls file (a workbook record inside a sheet)");
    } else if (m_inGlobals) {
        Global(type, data);
    } else if (type == kDimensions) {
        Dimensions(data);
    } else if (IsCellRecord(type)) {
        Cell(type, data);
    } else if (type == kString && m_formulaText) {
        m_continued = kString;
        m_parts = {data};
    }
}

void CBiffScanner::Global(uint16_t type, std::string_view data)
{
    switch (type) {
    case kFilePass:
        throw CReadError("the file is password-protected");
    case kWindow1:
        if (!m_facts.activeTab)
            m_facts.activeTab = Little(data, 10, 2);
        break;
    case kDateMode:
        m_dates.SetBase1904(Little(data, 0, 2) == 1);
        break;
    case kCodePage:
        m_codePage = Little(data, 0, 2);
        break;
    case kXf:
        m_dates.AddCellFormat(Little(data, 2, 2));
        break;
    case kBoundSheet:
        BoundSheet(data);
        break;
    case kFormat:
        if (m_biff8) {
            CheckString(UnicodeStringFits(data, 4, Little(data, 2, 2)));
            m_dates.AddFormat(Little(data, 0, 2), ReadStringRecord({data.substr(2)}));
        } else {
            // BIFF5: a byte string; BIFF4 and older files are not read
            CheckString(3 + Little(data, 2, 1) <= data.size());
            m_dates.AddFormat(Little(data, 0, 2), data.substr(3, Little(data, 2, 1)));
        }
        break;
    case kSst:
        if (m_sawSst)
            throw CReadError("damaged xls file (two shared string tables)");
        m_sawSst = true;
        m_sstUnique = Little(data, 4, 4);
        if (m_sstUnique > kMaxCells || m_sstUnique * 3 > m_stream.size())
            throw CReadError("the shared string table is over the size limit");
        m_continued = kSst;
        m_parts = {data.size() >= 8 ? data.substr(8) : std::string_view()};
        break;
    default:
        break;
    }
}

// A sheet: where its substream starts, its type and visibility (not
// used: a sheet counts when it has a cell table) and its name.
void CBiffScanner::BoundSheet(std::string_view data)
{
    const std::size_t characters = Little(data, 6, 1);
    m_facts.sheetOffsets.push_back(Little(data, 0, 4));
    m_facts.sheetNames.push_back(
        m_biff8 ? ReadCharacters(data.substr(std::min<std::size_t>(7, data.size())), characters)
                : ByteString(data, 7, characters));
    CountText(m_facts.sheetNames.back().size());
    m_facts.sized.push_back(false);
}

void CBiffScanner::Version(std::string_view bof)
{
    const uint32_t version = Little(bof, 0, 2);
    if (version != 0x0600 && version != 0x0500)
        throw CReadError("an xls version that cannot be read (BIFF5 and BIFF8 can)");
    m_biff8 = version == 0x0600;
}

void CBiffScanner::FinishContinued()
{
    const uint16_t continued = std::exchange(m_continued, 0);
    if (continued == kSst) {
        if (m_biff8)
            m_facts.sharedStrings = ReadSharedStrings(m_parts, m_sstUnique);
    } else if (continued == kString && m_formulaText) {
        XlsCell cell;
        cell.data.kind = CellKind::Text;
        if (m_biff8) {
            cell.data.text = ReadStringRecord(m_parts);
        } else {
            cell.data.text = ByteString(m_parts.front(), 2, Little(m_parts.front(), 0, 2));
        }
        CountText(cell.data.text.size());
        if (!cell.data.text.empty())
            Put(m_formulaText->row, m_formulaText->column, std::move(cell));
    }
    m_formulaText.reset();
    m_parts.clear();
}

void CBiffScanner::BeginSubstream(std::size_t pos)
{
    m_inGlobals = !m_seenGlobals;
    m_seenGlobals = true;
    m_sheet.reset();
    for (std::size_t i = 0; i < m_facts.sheetOffsets.size(); ++i) {
        if (m_facts.sheetOffsets[i] == pos)
            m_sheet = i;
    }
    m_declaredRows = m_declaredColumns = m_lastRow = m_lastColumn = 0;
    m_sawDimensions = false;
}

void CBiffScanner::EndSubstream()
{
    if (!m_inGlobals && m_inSubstream)
        m_otherSheetsArea += Area();
    m_inGlobals = false;
    m_inSubstream = false;
}

void CBiffScanner::Cell(uint16_t type, std::string_view data)
{
    const uint32_t row = Little(data, 0, 2);
    const uint32_t column = Little(data, 2, 2);
    uint32_t lastColumn = column;
    if ((type == kMulRk || type == kMulBlank) && data.size() >= 6)
        lastColumn = std::max(column, Little(data, data.size() - 2, 2));
    m_lastRow = std::max<uint64_t>(m_lastRow, row + 1);
    m_lastColumn = std::max<uint64_t>(m_lastColumn, lastColumn + 1);
    CheckArea();
    m_formulaText.reset();
    switch (type) {
    case kLabel:
    case kRString:
        Label(row, column, data);
        break;
    case kLabelSst: {
        const uint32_t index = Little(data, 6, 4);
        if (index >= m_facts.sharedStrings.size())
            throw CReadError("damaged xls file (a cell refers to a shared string that does "
                             "not exist)");
        XlsCell cell;
        cell.data.kind = CellKind::Text;
        cell.sharedString = index;
        Put(row, column, std::move(cell));
        break;
    }
    case kNumber:
        if (data.size() >= 14)
            Value(row, column, Little(data, 4, 2), Float64(data, 6));
        break;
    case kRk:
        if (data.size() >= 10)
            Value(row, column, Little(data, 4, 2), RkNumber(Little(data, 6, 4)));
        break;
    case kMulRk:
        for (std::size_t at = 4; at + 6 + 2 <= data.size(); at += 6)
            Value(row, column + static_cast<uint32_t>((at - 4) / 6), Little(data, at, 2),
                  RkNumber(Little(data, at + 2, 4)));
        break;
    case kBoolErr:
        if (data.size() >= 8)
            Put(row, column, {BoolOrError(static_cast<uint8_t>(data[6]), data[7] != 0)});
        break;
    case kFormula:
        Formula(row, column, data);
        break;
    default:
        break;
    }
}

// A LABEL or RSTRING text (the formatting runs of RSTRING after it are not read).
void CBiffScanner::Label(uint32_t row, uint32_t column, std::string_view data)
{
    const std::size_t characters = Little(data, 6, 2);
    XlsCell cell;
    cell.data.kind = CellKind::Text;
    cell.data.text =
        m_biff8 ? ReadCharacters(data.substr(std::min<std::size_t>(8, data.size())), characters)
                : ByteString(data, 8, characters);
    CountText(cell.data.text.size());
    Put(row, column, std::move(cell));
}

// BIFF5's `bytes` long text at data[offset], in the workbook's code page.
std::string CBiffScanner::ByteString(std::string_view data, std::size_t offset,
                                     std::size_t bytes) const
{
    CheckString(offset + bytes <= data.size());
    return CodePageToUtf8(data.substr(offset, bytes), m_codePage);
}

void CBiffScanner::Value(uint32_t row, uint32_t column, uint32_t cellFormat, double value)
{
    XlsCell cell;
    cell.data.kind = m_dates.IsDate(cellFormat) ? CellKind::Date : CellKind::Number;
    cell.data.number = cell.data.kind == CellKind::Date ? m_dates.Serial(value) : value;
    Put(row, column, std::move(cell));
}

// A formula's cached result: a number, or after the marker 0xFFFF a text
// (in the STRING record that follows), a boolean, an error or nothing.
void CBiffScanner::Formula(uint32_t row, uint32_t column, std::string_view data)
{
    if (data.size() < 14)
        return;
    if (Little(data, 12, 2) != 0xFFFF) {
        Value(row, column, Little(data, 4, 2), Float64(data, 6));
        return;
    }
    switch (data[6]) {
    case 0:
        m_formulaText = CellRef{row, column};
        break;
    case 1:
    case 2:
        Put(row, column, {BoolOrError(static_cast<uint8_t>(data[8]), data[6] == 2)});
        break;
    default:
        break;
    }
}

void CBiffScanner::Put(uint32_t row, uint32_t column, XlsCell cell)
{
    if (!m_sheet)
        return;
    if (m_facts.cells.size() <= *m_sheet)
        m_facts.cells.resize(*m_sheet + 1);
    auto& cells = m_facts.cells[*m_sheet];
    const bool added = cells.insert_or_assign(CellRef{row + 1, column + 1}, std::move(cell)).second;
    if (added && ++m_cellCount > kMaxCells)
        throw CReadError("more than " + std::to_string(kMaxCells) + " cells");
}

void CBiffScanner::CountText(std::size_t bytes)
{
    m_textBytes += bytes + sizeof(std::string);
    if (m_textBytes > kMaxTextBytes)
        throw CReadError("more than " + std::to_string(kMaxTextBytes >> 20) + " MiB of text");
}

// A sheet's declared size, which counts toward the workbook's area limit; a
// short record or a second one is damage.
void CBiffScanner::Dimensions(std::string_view data)
{
    if (data.size() < (m_biff8 ? 12u : 8u))
        throw CReadError("damaged xls file (a sheet size record too short)");
    if (m_sawDimensions)
        throw CReadError("damaged xls file (a sheet with two size records)");
    m_sawDimensions = true;
    if (m_sheet)
        m_facts.sized[*m_sheet] = true;
    m_declaredRows = Little(data, m_biff8 ? 4 : 2, m_biff8 ? 4 : 2);
    m_declaredColumns = Little(data, m_biff8 ? 10 : 6, 2);
    CheckArea();
}

uint64_t CBiffScanner::Area() const
{
    return std::max(m_declaredRows, m_lastRow) * std::max(m_declaredColumns, m_lastColumn);
}

void CBiffScanner::CheckArea() const
{
    if (Area() > kMaxXlsSheetArea - m_otherSheetsArea)
        throw CReadError("the sheets of the xls file are over the size limit (" +
                         std::to_string(kMaxXlsSheetArea) + " cells)");
}

} // namespace zrv::sheet
