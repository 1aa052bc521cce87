// Layout of an answer (integers little-endian, numbers IEEE 754 doubles):
//   "ZRVA" version:u8 kind:u8
//   kind 'F': reason:text
//   kind 'W': sheets:u32 activeSheet:u32, then per sheet
//             name:text activeRow:u32 activeColumn:u32
//             cells:u32 { row:u32 column:u32 kind:u8 value }  in row, column order
//             heights:u32 { row:u32 points:f64 }              in row order
//             widths:u32 { column:u32 characters:f64 }        in column order
//   "END."
// text is length:u32 followed by that many bytes of UTF-8.

#include "sheet/io/WorkbookStream.h"

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookLimits.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

namespace zrv::sheet {

namespace {

constexpr std::string_view kMagic = "ZRVA";
constexpr std::string_view kEnd = "END.";
constexpr uint8_t kVersion = 1;
constexpr char kWorkbook = 'W';
constexpr char kFailure = 'F';
constexpr std::size_t kMaxReasonBytes = 4096;
constexpr std::size_t kTextPart = 1u << 16;

static_assert(std::endian::native == std::endian::little, "the answer is little-endian");

[[noreturn]] void Damaged(const std::string& what)
{
    throw CReadError("the reader's answer is damaged (" + what + ")");
}

class CAnswerWriter final {
public:
    void Bytes(std::string_view bytes) { m_out.append(bytes); }
    void U8(uint8_t value) { m_out.push_back(static_cast<char>(value)); }
    void U32(uint32_t value) { Raw(value); }
    void F64(double value) { Raw(value); }
    void Text(std::string_view text)
    {
        U32(static_cast<uint32_t>(text.size()));
        Bytes(text);
    }

    // What a cell holds besides its kind.
    void Text(const std::string& text, const CellData&) { Text(text); }
    void Number(double number) { F64(number); }
    void Flag(bool value) { U8(value ? 1 : 0); }
    [[noreturn]] void NotAValue() { throw CReadError("an empty cell cannot be sent"); }

    std::string Take() { return std::move(m_out); }

private:
    template <class T> void Raw(T value)
    {
        char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        m_out.append(bytes, sizeof value);
    }

    std::string m_out;
};

class CAnswerReader final {
public:
    explicit CAnswerReader(IByteSource& source) : m_source(source) {}

    void Expect(std::string_view bytes, const char* what)
    {
        std::string got(bytes.size(), '\0');
        m_source.Read(got.data(), got.size());
        if (got != bytes)
            Damaged(what);
    }
    uint8_t U8() { return Raw<uint8_t>(); }
    uint32_t U32() { return Raw<uint32_t>(); }
    double F64() { return Raw<double>(); }
    // A count of items, at most `limit`.
    uint32_t Count(std::size_t limit, const char* what)
    {
        const uint32_t count = U32();
        if (count > limit)
            Damaged(std::string("more ") + what + " than the limits allow");
        return count;
    }
    // A text counted against the workbook's text limit (`limit`: a smaller one).
    std::string Text(std::size_t limit = kMaxTextBytes)
    {
        const uint32_t size = U32();
        if (size > limit || size > kMaxTextBytes - m_textBytes)
            Damaged("more text than the limits allow");
        m_textBytes += size;
        // Taken in parts, so memory follows the bytes that came, not the
        // length a damaged stream claims.
        std::string text;
        while (text.size() < size) {
            const std::size_t had = text.size();
            text.resize(had + std::min<std::size_t>(size - had, kTextPart));
            m_source.Read(text.data() + had, text.size() - had);
        }
        if (!IsValidUtf8(text))
            Damaged("a text that is not UTF-8");
        return text;
    }

    // What a cell holds besides its kind.
    void Text(std::string& text, const CellData& cell)
    {
        text = Text();
        if (text.empty() && cell.kind == CellKind::Text)
            Damaged("an empty text cell");
    }
    void Number(double& number)
    {
        number = F64();
        if (!std::isfinite(number))
            Damaged("a number that is not finite");
    }
    void Flag(bool& value)
    {
        const uint8_t byte = U8();
        if (byte > 1)
            Damaged("a truth value that is neither 0 nor 1");
        value = byte == 1;
    }
    [[noreturn]] void NotAValue() { Damaged("an unknown kind of cell"); }

    IByteSource& Source() { return m_source; }

private:
    template <class T> T Raw()
    {
        char bytes[sizeof(T)];
        m_source.Read(bytes, sizeof bytes);
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    IByteSource& m_source;
    std::size_t m_textBytes = 0;
};

// The one place that knows what each kind of cell carries, for both
// directions (Cell is CellData or const CellData).
template <class Transfer, class Cell> void CellValue(Transfer& io, Cell& cell)
{
    switch (cell.kind) {
    case CellKind::Text:
    case CellKind::Error:
        io.Text(cell.text, cell);
        return;
    case CellKind::Number:
    case CellKind::Date: // the serial day number
        io.Number(cell.number);
        return;
    case CellKind::Boolean:
        io.Flag(cell.boolean);
        return;
    case CellKind::Empty:
        break;
    }
    io.NotAValue(); // an empty cell is never stored, and any other value is unknown
}

template <class Value>
void WriteLayout(CAnswerWriter& out, const std::map<uint32_t, Value>& entries)
{
    out.U32(static_cast<uint32_t>(entries.size()));
    for (const auto& [at, value] : entries) {
        out.U32(at);
        out.F64(value);
    }
}

void WriteSheet(CAnswerWriter& out, const SheetData& sheet)
{
    out.Text(sheet.name);
    out.U32(sheet.activeCell.row);
    out.U32(sheet.activeCell.column);
    out.U32(static_cast<uint32_t>(sheet.cells.size()));
    for (const auto& [ref, cell] : sheet.cells) {
        out.U32(ref.row);
        out.U32(ref.column);
        out.U8(static_cast<uint8_t>(cell.kind));
        CellValue(out, cell);
    }
    WriteLayout(out, sheet.rowHeights);
    WriteLayout(out, sheet.columnWidths);
}

void ReadPosition(CAnswerReader& in, CellRef& ref)
{
    ref.row = in.U32();
    ref.column = in.U32();
    if (ref.row < 1 || ref.row > kMaxRows || ref.column < 1 || ref.column > kMaxColumns)
        Damaged("a cell outside the sheet");
}

// Entries of one layout map: positions rising within 1..last, values finite
// and not negative; all maps of the workbook share `left`.
void ReadLayout(CAnswerReader& in, std::map<uint32_t, double>& entries, uint32_t last,
                std::size_t& left)
{
    const uint32_t count = in.Count(std::min<std::size_t>(left, last), "row heights or widths");
    left -= count;
    uint32_t previous = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = in.U32();
        const double value = in.F64();
        if (at <= previous || at > last)
            Damaged("row heights or widths out of order");
        if (!std::isfinite(value) || value < 0)
            Damaged("a row height or width that is not a size");
        entries.emplace_hint(entries.end(), at, value);
        previous = at;
    }
}

struct Budget {
    std::size_t cells = kMaxCells;
    std::size_t layout = kMaxLayoutEntries;
};

void ReadCells(CAnswerReader& in, SheetData& sheet, Budget& budget)
{
    const uint32_t count = in.Count(budget.cells, "cells");
    budget.cells -= count;
    CellRef previous{0, 0};
    for (uint32_t i = 0; i < count; ++i) {
        CellRef ref;
        ReadPosition(in, ref);
        if (!(previous < ref))
            Damaged("cells out of order");
        CellData cell;
        cell.kind = static_cast<CellKind>(in.U8());
        CellValue(in, cell);
        sheet.cells.emplace_hint(sheet.cells.end(), ref, std::move(cell));
        previous = ref;
    }
}

SheetData ReadSheet(CAnswerReader& in, Budget& budget)
{
    SheetData sheet;
    sheet.name = in.Text();
    ReadPosition(in, sheet.activeCell);
    ReadCells(in, sheet, budget);
    ReadLayout(in, sheet.rowHeights, kMaxRows, budget.layout);
    ReadLayout(in, sheet.columnWidths, kMaxColumns, budget.layout);
    return sheet;
}

WorkbookData ReadWorkbook(CAnswerReader& in)
{
    WorkbookData workbook;
    const uint32_t sheets = in.Count(kMaxSheets, "sheets");
    workbook.activeSheet = in.U32();
    if (sheets == 0 || workbook.activeSheet >= sheets)
        Damaged("no such sheet");
    Budget budget;
    for (uint32_t i = 0; i < sheets; ++i)
        workbook.sheets.push_back(ReadSheet(in, budget));
    return workbook;
}

std::string Header(char kind)
{
    CAnswerWriter out;
    out.Bytes(kMagic);
    out.U8(kVersion);
    out.U8(static_cast<uint8_t>(kind));
    return out.Take();
}

} // namespace

void CMemorySource::Read(char* into, std::size_t size)
{
    if (size > m_bytes.size())
        throw CReadError("the reader's answer ends early");
    std::memcpy(into, m_bytes.data(), size);
    m_bytes.remove_prefix(size);
}

std::string EncodeWorkbookAnswer(const WorkbookData& workbook)
{
    CAnswerWriter out;
    out.Bytes(Header(kWorkbook));
    out.U32(static_cast<uint32_t>(workbook.sheets.size()));
    out.U32(static_cast<uint32_t>(workbook.activeSheet));
    for (const SheetData& sheet : workbook.sheets)
        WriteSheet(out, sheet);
    out.Bytes(kEnd);
    return out.Take();
}

std::string EncodeFailureAnswer(std::string_view reason)
{
    CAnswerWriter out;
    out.Bytes(Header(kFailure));
    std::string line = ValidUtf8(reason);
    for (char& c : line)
        c = c == '\r' || c == '\n' ? ' ' : c;
    std::size_t size = std::min(line.size(), kMaxReasonBytes);
    while (size < line.size() && (static_cast<unsigned char>(line[size]) & 0xC0) == 0x80)
        --size; // cut before a whole character
    line.resize(size);
    out.Text(line.empty() ? "the file cannot be read" : line);
    out.Bytes(kEnd);
    return out.Take();
}

ReaderAnswer DecodeAnswer(IByteSource& source)
{
    CAnswerReader in(source);
    in.Expect(kMagic, "not an answer");
    if (in.U8() != kVersion)
        Damaged("another version");
    ReaderAnswer answer;
    const uint8_t kind = in.U8();
    if (kind == kWorkbook) {
        answer.workbook = ReadWorkbook(in);
        answer.read = true;
    } else if (kind == kFailure) {
        answer.reason = in.Text(kMaxReasonBytes);
        if (answer.reason.empty() || answer.reason.find_first_of("\r\n") != std::string::npos)
            Damaged("a reason that is not one line");
    } else {
        Damaged("an unknown kind of answer");
    }
    in.Expect(kEnd, "no end mark");
    if (!source.AtEnd())
        Damaged("bytes after the end");
    return answer;
}

} // namespace zrv::sheet
