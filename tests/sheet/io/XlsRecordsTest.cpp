// xls files built record by record: the cells the record scan reads
// (shared strings over CONTINUE records, cell texts of both versions,
// formula results, numbers, dates), the sheets it keeps, and the texts it
// refuses rather than alter.

#include "sheet/io/BiffStrings.h"
#include "sheet/io/CDateFormats.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/DateSerial.h"
#include "sheet/io/WorkbookFiles.h"
#include "tests/sheet/io/BiffFiles.h"
#include "tests/sheet/io/CellValues.h"
#include "tests/support/TempHome.h"

#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zrv::sheet {
namespace {

using test::BiffRecord;
using test::Le16;
using test::Le32;

constexpr uint16_t kContinue = 0x003C;

std::string Utf16(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t c : text)
        bytes += Le16(c);
    return bytes;
}

// A shared string table of `count` strings whose bytes are `first`, carried
// on in `more` CONTINUE records.
std::string Sst(uint32_t count, const std::string& first, const std::vector<std::string>& more = {})
{
    std::string records = BiffRecord(0x00FC, Le32(count) + Le32(count) + first);
    for (const std::string& part : more)
        records += BiffRecord(kContinue, part);
    return records;
}

// A string's header: characters, flags (0: one byte each, 1: UTF-16).
std::string Head(uint16_t characters, char flags)
{
    return Le16(characters) + flags;
}

std::string LabelSst(uint16_t row, uint32_t index)
{
    return BiffRecord(0x00FD, Le16(row) + Le16(0) + Le16(15) + Le32(index));
}

std::string Formula(uint16_t row, const std::string& result, uint16_t xf = 15)
{
    return BiffRecord(0x0006, Le16(row) + Le16(0) + Le16(xf) + result + Le16(0) + Le32(0) +
                                  Le16(3) + std::string("\x1E\x03\x00", 3));
}

// A formula result that is not a number: type, value.
std::string Special(char type, char value = 0)
{
    return std::string{type, 0, value, 0, 0, 0} + "\xFF\xFF";
}

std::string Rk(uint16_t row, uint16_t column, uint32_t rk, uint16_t xf = 15)
{
    return BiffRecord(0x027E, Le16(row) + Le16(column) + Le16(xf) + Le32(rk));
}

// Cell formats 0-15 as every file has them, then 16: built-in date format
// 14, 17: format 164 ("[$-409]h:mm AM/PM"), 18: format 165 (number with a
// quoted "days").
std::string Formats()
{
    std::string records = BiffRecord(0x041E, Le16(164) + Head(17, 0) + "[$-409]h:mm AM/PM") +
                          BiffRecord(0x041E, Le16(165) + Head(11, 0) + "0 \"d\\ays\";@");
    for (const uint16_t format : {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 14, 164, 165})
        records += BiffRecord(0x00E0, Le16(0) + Le16(format) + std::string(16, '\0'));
    return records;
}

// Reads `bytes` as an xls file in `folder`: the workbook, or nullopt when it
// is refused, which it must be with `refusal` when that is not empty.
std::optional<WorkbookData> ReadXlsBytes(const std::string& folder, const std::string& bytes,
                                         const std::string& refusal)
{
    static int files = 0;
    const std::string path = folder + "/" + std::to_string(files++) + ".xls";
    std::ofstream(path, std::ios::binary) << bytes;
    std::string error;
    std::optional<WorkbookData> workbook = ReadWorkbookFile(path, error);
    if (!refusal.empty()) {
        EXPECT_FALSE(workbook);
        EXPECT_EQ(error, refusal);
        return std::nullopt;
    }
    EXPECT_TRUE(workbook) << error;
    return workbook;
}

struct Case {
    const char* what;
    std::string globals;
    std::string cells; // of the only sheet, after its DIMENSIONS (10 rows, 4 columns)
    std::vector<CellData> columnA;
    std::string error = {}; // when the file is refused
};

TEST(XlsRecords, cellsTheScanReads_exactOrRefused)
{
    // 32,767 characters, the most a cell holds, over six records in both encodings.
    const std::string zero(1, '\0');
    const std::vector<std::string> longParts = {
        zero + std::string(8000, 'b'), "\x01" + Utf16(std::u16string(4000, u'\u0436')),
        zero + std::string(8000, 'd'), "\x01" + Utf16(std::u16string(4000, u'\u00E9')),
        zero + std::string(767, 'f')};
    std::string longText = std::string(8000, 'a') + std::string(8000, 'b');
    for (int i = 0; i < 4000; ++i)
        longText += "\xD0\xB6";
    longText += std::string(8000, 'd');
    for (int i = 0; i < 4000; ++i)
        longText += "\xC3\xA9";
    longText += std::string(767, 'f');
    const Case cases[] = {
        {"the longest text a cell holds, over six records",
         Sst(1, Head(32767, 0) + std::string(8000, 'a'), longParts),
         LabelSst(0, 0),
         {Text(longText)}},
        {"a shared string whose characters go on in UTF-16, then one whose header starts a part",
         Sst(2, Head(8, 0) + "abcdef", {"\x01" + Utf16(u"\u0436\u0436"), Head(1, 0) + "z"}),
         LabelSst(0, 0) + LabelSst(1, 1),
         {Text("abcdef\xD0\xB6\xD0\xB6"), Text("z")}},
        {"a UTF-16 string going on in one byte per character, over three records",
         Sst(1, Head(6, 1) + Utf16(u"\u00E9\u00E9"),
             {std::string("\x00", 1) + "\xE9\xE9", std::string("\x00", 1) + "\xE9\xE9"}),
         LabelSst(0, 0),
         {Text("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9")}},
        {"a rich string whose formatting runs go on in the next record",
         Sst(2, Le16(2) + "\x08" + Le16(2) + "ab" + Le32(0), {Le32(0) + Head(1, 0) + "c"}),
         LabelSst(0, 1) + LabelSst(1, 0),
         {Text("c"), Text("ab")}},
        {"characters outside the basic plane",
         Sst(1, Head(2, 1) + Utf16(u"\U0001F600")),
         LabelSst(0, 0),
         {Text("\xF0\x9F\x98\x80")}},
        {"a lone surrogate",
         Sst(1, Head(1, 1) + Utf16(u"\xD83D")),
         LabelSst(0, 0),
         {},
         "damaged xls file (a text that is not valid UTF-16)"},
        {"a shared string over 32,767 characters",
         Sst(1, Head(32768, 0) + "x"),
         LabelSst(0, 0),
         {},
         "a text of the xls file is longer than 32767 characters"},
        {"a shared string past the last record",
         Sst(1, Head(9, 0) + "abc", {std::string("\0def", 4)}),
         LabelSst(0, 0),
         {},
         "damaged xls file (a text longer than its record)"},
        {"a cell naming a shared string past the table",
         Sst(1, Head(1, 0) + "a"),
         LabelSst(0, 1),
         {},
         "damaged xls file (a cell refers to a shared string that does not exist)"},
        {"formula results: text over CONTINUE records, boolean, error, empty text, number",
         "",
         Formula(0, Special(0)) + BiffRecord(0x0207, Head(4, 0) + "ab") +
             BiffRecord(kContinue, "\x01" + Utf16(u"\u0436\u0436")) + Formula(1, Special(1, 1)) +
             Formula(2, Special(2, 0x07)) + Formula(3, Special(3)) +
             Formula(4, std::string("\0\0\0\0\0\0\x45\x40", 8)) + Rk(5, 0, 3u << 2 | 2),
         {Text("ab\xD0\xB6\xD0\xB6"), Boolean(true), Error("#DIV/0!"), {}, Number(42), Number(3)}},
        {"numbers and dates by their cell formats, a formula's too",
         Formats(),
         Rk(0, 0, 45366u << 2 | 2, 16) + Rk(1, 0, 1234u << 2 | 3, 15) + Rk(2, 0, 0x3FE80000, 17) +
             test::BiffNumber(3, 0, 45366.5, 18) +
             Formula(4, std::string("\0\0\0\0\0\0\xF6\x40", 8), 16) +
             BiffRecord(0x00BD, Le16(5) + Le16(0) + Le16(16) + Le32(2u << 2 | 2) + Le16(15) +
                                    Le32(3u << 2 | 2) + Le16(1)),
         {Date(45366), Number(12.34), Date(0.75), Number(45366.5), Date(90112), Date(2)}},
        {"dates of a workbook counting from 1904",
         BiffRecord(0x0022, Le16(1)) + Formats(),
         Rk(0, 0, 0, 16),
         {Date(1462)}},
    };
    const std::string folder = test::MakeTempDir("xls");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto workbook = ReadXlsBytes(
            folder, test::XlsBytes(c.globals, {{"Only", test::BiffDimensions(10, 4) + c.cells}}),
            c.error);
        if (!workbook)
            continue;
        std::map<CellRef, CellData> expected;
        for (std::size_t i = 0; i < c.columnA.size(); ++i) {
            if (c.columnA[i].kind != CellKind::Empty)
                expected[{static_cast<uint32_t>(i + 1), 1}] = c.columnA[i];
        }
        auto cells = workbook->sheets.at(0).cells;
        std::erase_if(cells, [](const auto& cell) { return cell.first.column != 1; });
        EXPECT_EQ(cells, expected);
    }
}

// Number format codes: a date or time shows d, m, y, h or s outside quoted
// text, escapes and brackets (elapsed time in brackets counts).
TEST(XlsRecords, dateFormatCodes)
{
    const std::pair<const char*, bool> codes[] = {
        {"yyyy-mm-dd", true},
        {"[$-409]h:mm AM/PM", true},
        {"[h]:mm", true},
        {"D/M/YY", true},
        {"mmm", true},
        {"General", false},
        {"0.00E+00", false},
        {"#,##0 \"days\"", false},
        {"0\\d", false},
        {"[Red]0.00", false},
        {"_(* #,##0_)", false},
        {"0;[Red]dd", false},
        {"\"unterminated", false},
        {"@", false},
    };
    for (const auto& [code, isDate] : codes)
        EXPECT_EQ(CDateFormats::IsDateCode(code), isDate) << code;
}

// OpenDocument date and time values, and the days they are.
TEST(XlsRecords, isoDatesAndDurations)
{
    EXPECT_EQ(ParseIsoDate("2024-03-15"), 45366);
    EXPECT_EQ(ParseIsoDate("2024-03-15T12:00:00"), 45366.5);
    EXPECT_EQ(ParseIsoDate("2024-03-15T06:00:00.000+01:00"), 45366.25);
    EXPECT_EQ(ParseIsoDate("1899-12-30"), 0);
    EXPECT_EQ(ParseIsoDate("1899-12-29T18:00:00"), -1.75);
    EXPECT_EQ(ParseIsoDuration("PT18H00M00S"), 0.75);
    EXPECT_EQ(ParseIsoDuration("PT36H00M00S"), 1.5);
    for (const char* bad : {"2024-02-30", "2024-13-01", "2024-03-15T25:00:00", "15.03.2024", "",
                            "2024-03-15T12:00", "-2024-03-15"})
        EXPECT_EQ(ParseIsoDate(bad), std::nullopt) << bad;
    for (const char* bad : {"P1DT0H0M0S", "PT1H", "PT1H60M0S", "PT-1H0M0S", "PT0H0M0S junk"})
        EXPECT_EQ(ParseIsoDuration(bad), std::nullopt) << bad;
}

std::string Label(uint16_t row, const std::string& string, uint16_t type = 0x0204)
{
    return BiffRecord(type, Le16(row) + Le16(0) + Le16(15) + string);
}

// Sheets and their texts: the names and column A of every sheet read, and
// which one is active.
struct SheetsCase {
    const char* what;
    test::Biff version;
    std::string globals;
    std::vector<test::BiffSheet> sheets;
    std::vector<std::pair<std::string, std::vector<CellData>>> read;
    std::size_t active = 0;
    std::string error = {};
};

TEST(XlsRecords, sheetsAndCellTexts_ofBothVersions)
{
    using test::Biff;
    using test::BiffDimensions;
    const std::string window1 =
        BiffRecord(0x003D, std::string(10, '\0') + Le16(2) + Le32(0) + Le16(1) + Le16(0));
    const std::string dimensions = BiffDimensions(10, 4);
    const std::string dimensions5 = BiffDimensions(10, 4, Biff::v5);
    const std::string cp1251 = BiffRecord(0x0042, Le16(1251));
    // BIFF5 cell formats 0-15, then 16: format 164, a date
    std::string dateFormat5 = BiffRecord(0x041E, Le16(164) + '\x0A' + "yyyy-mm-dd");
    for (const uint16_t format : {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 164})
        dateFormat5 += BiffRecord(0x00E0, Le16(0) + Le16(format) + std::string(12, '\0'));
    const SheetsCase cases[] = {
        {"BIFF8 texts and names: one byte per character, UTF-16, a rich text, an empty one",
         Biff::v8,
         "",
         {{"\xC9t\xE9", dimensions + Label(0, Le16(4) + '\0' + "caf\xE9") +
                            Label(1, Le16(2) + '\x01' + Utf16(u"\u0436\u00E9")) +
                            Label(2, Le16(2) + '\0' + "ab" + Le16(1) + Le32(0), 0x00D6) +
                            Label(3, Le16(0) + '\0')}},
         {{"\xC3\x89t\xC3\xA9", {Text("caf\xC3\xA9"), Text("\xD0\xB6\xC3\xA9"), Text("ab")}}}},
        {"BIFF5 texts and sheet names in the workbook's code page",
         Biff::v5,
         cp1251,
         {{"\xC8\xEC\xFF",
           dimensions5 + Label(0, Le16(2) + "\xC6\xE8") +
               Label(1, Le16(3) + "\xE9\xE0z" + '\x01' + Le16(0) + Le16(0), 0x00D6)}},
         {{"\xD0\x98\xD0\xBC\xD1\x8F", {Text("\xD0\x96\xD0\xB8"), Text("\xD0\xB9\xD0\xB0z")}}}},
        {"BIFF5 without a code page: 1252; a date by its format",
         Biff::v5,
         dateFormat5,
         {{"S", dimensions5 + Label(0, Le16(1) + "\x80") +
                    BiffRecord(0x027E, Le16(1) + Le16(0) + Le16(16) + Le32(45366u << 2 | 2))}},
         {{"S", {Text("\xE2\x82\xAC"), Date(45366)}}}},
        {"sheets without a cell table are left out; the active one keeps its place",
         Biff::v8,
         window1,
         {{"Work", dimensions + Label(0, Le16(1) + '\0' + "w")},
          {"Chart", "", 0x0200},
          {"Macro", dimensions + Label(0, Le16(1) + '\0' + "m"), 0x0100},
          {"Hidden", dimensions, 0x0001}},
         {{"Work", {Text("w")}}, {"Macro", {Text("m")}}, {"Hidden", {}}},
         1},
        {"the active sheet is a chart sheet: the first is active",
         Biff::v8,
         window1,
         {{"A", dimensions}, {"B", dimensions}, {"Chart", "", 0x0200}},
         {{"A", {}}, {"B", {}}}},
        {"a BIFF8 text past its record",
         Biff::v8,
         "",
         {{"S", dimensions + Label(0, Le16(3) + '\x01' + "ab")}},
         {},
         0,
         "damaged xls file (a text longer than its record)"},
        {"a BIFF5 text past its record",
         Biff::v5,
         "",
         {{"S", dimensions5 + Label(0, Le16(9) + "abc")}},
         {},
         0,
         "damaged xls file (a text longer than its record)"},
        {"a BIFF5 byte with no character in the code page",
         Biff::v5,
         "",
         {{"S", dimensions5 + Label(0, Le16(1) + "\x81")}},
         {},
         0,
         "damaged xls file (a text that is not in its code page)"},
        {"a lone surrogate in a cell text",
         Biff::v8,
         "",
         {{"S", dimensions + Label(0, Le16(1) + '\x01' + Utf16(u"\xDC00"))}},
         {},
         0,
         "damaged xls file (a text that is not valid UTF-16)"},
    };
    const std::string folder = test::MakeTempDir("xls");
    for (const SheetsCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto workbook =
            ReadXlsBytes(folder, test::XlsBytes(c.globals, c.sheets, c.version), c.error);
        if (!workbook)
            continue;
        std::vector<std::pair<std::string, std::vector<CellData>>> read;
        for (const SheetData& sheet : workbook->sheets) {
            read.emplace_back(sheet.name, std::vector<CellData>());
            for (const auto& [ref, cell] : sheet.cells)
                read.back().second.push_back(cell);
        }
        EXPECT_EQ(read, c.read);
        EXPECT_EQ(workbook->activeSheet, c.active);
    }
}

// BIFF5 texts are in the workbook's code page; none is guessed.
TEST(XlsRecords, codePageTexts)
{
    EXPECT_EQ(CodePageToUtf8("plain", 0), "plain");
    EXPECT_EQ(CodePageToUtf8("\xC6\xE8", 1251), "\xD0\x96\xD0\xB8");
    EXPECT_EQ(CodePageToUtf8("caf\xE9", 1252), "caf\xC3\xA9");
    EXPECT_THROW(CodePageToUtf8("\xE9", 4242), CReadError);
    EXPECT_THROW(CodePageToUtf8("\x81", 1252), CReadError); // no character there
}

} // namespace
} // namespace zrv::sheet
