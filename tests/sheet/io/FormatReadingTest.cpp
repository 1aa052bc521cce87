// Reading real files of every format: the reader is chosen by content, column
// A of the active sheet holds what a spreadsheet program shows, line breaks
// come back as CR LF.

#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookFiles.h"
#include "tests/sheet/io/CellValues.h"
#include "tests/sheet/io/ZipFiles.h"
#include "tests/support/TempHome.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <xlsxwriter.h>

namespace zrv::sheet {
namespace {

const char* const kNonAscii = "Gr\xC3\xB6\xC3\x9F"
                              "e \xE2\x80\x93 \xC3\xBCn\xC3\xAF"
                              "c\xC3\xB6"
                              "d\xC3\xA9";

// Column A of every test file's active sheet; row 6 is empty.
std::map<CellRef, CellData> ColumnA()
{
    return {
        {{1, 1}, Text("Text one")}, {{2, 1}, Text("Line one\r\nLine two")},
        {{3, 1}, Number(42)},       {{4, 1}, Number(3.5)},
        {{5, 1}, Boolean(true)},    {{7, 1}, Text("  leading spaces")},
        {{8, 1}, Text(kNonAscii)},  {{9, 1}, Boolean(false)},
    };
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void MakeXlsx(const std::string& path)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    lxw_worksheet* first = workbook_add_worksheet(workbook, "First");
    worksheet_write_string(first, 0, 0, "not the active sheet", nullptr);
    lxw_worksheet* second = workbook_add_worksheet(workbook, "Second");
    worksheet_write_string(second, 0, 0, "Text one", nullptr);
    worksheet_write_string(second, 1, 0, "Line one\nLine two", nullptr);
    worksheet_write_number(second, 2, 0, 42, nullptr);
    worksheet_write_number(second, 3, 0, 3.5, nullptr);
    worksheet_write_boolean(second, 4, 0, 1, nullptr);
    worksheet_write_string(second, 6, 0, "  leading spaces", nullptr);
    worksheet_write_string(second, 7, 0, kNonAscii, nullptr);
    worksheet_write_boolean(second, 8, 0, 0, nullptr);
    worksheet_activate(second);
    ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);
}

std::string OdsContent(const std::string& tables)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<office:document-content)"
           R"( xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
           R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
           R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")"
           R"( xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0")"
           R"( office:version="1.3"><office:body><office:spreadsheet>)" +
           tables + "</office:spreadsheet></office:body></office:document-content>";
}

std::string OdsSettings(const std::string& activeTable)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<office:document-settings)"
           R"( xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
           R"( xmlns:config="urn:oasis:names:tc:opendocument:xmlns:config:1.0"><office:settings>)"
           R"(<config:config-item-set config:name="ooo:view-settings">)"
           R"(<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>)"
           R"(<config:config-item-map-named config:name="Tables">)"
           R"(<config:config-item-map-entry config:name="Second">)"
           R"(<config:config-item config:name="CursorPositionX" config:type="int">0</config:config-item>)"
           R"(<config:config-item config:name="CursorPositionY" config:type="int">1</config:config-item>)"
           R"(</config:config-item-map-entry></config:config-item-map-named>)"
           R"(<config:config-item config:name="ActiveTable" config:type="string">)" +
           activeTable +
           R"(</config:config-item></config:config-item-map-entry>)"
           R"(</config:config-item-map-indexed></config:config-item-set>)"
           R"(</office:settings></office:document-settings>)";
}

void WriteOds(const std::string& path, const std::string& tables, const std::string& activeTable)
{
    test::WriteZip(path, {
                             {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                             {"content.xml", OdsContent(tables)},
                             {"settings.xml", OdsSettings(activeTable)},
                         });
}

std::string OdsRow(const std::string& cells)
{
    return "<table:table-row>" + cells + "</table:table-row>";
}

// As LibreOffice writes it: paragraphs per line, <text:s/> for kept spaces,
// and the rest of the sheet as repeated empty rows.
void MakeOds(const std::string& path)
{
    const std::string string = R"(<table:table-cell office:value-type="string">)";
    const std::string tables =
        R"(<table:table table:name="First">)" +
        OdsRow(string + "<text:p>not the active sheet</text:p></table:table-cell>") +
        R"(</table:table><table:table table:name="Second">)" +
        R"(<table:table-column table:number-columns-repeated="2"/>)" +
        OdsRow(string + "<text:p>Text one</text:p></table:table-cell>") +
        OdsRow(string + "<text:p>Line one</text:p><text:p>Line two</text:p></table:table-cell>") +
        OdsRow(
            R"(<table:table-cell office:value-type="float" office:value="42"><text:p>42</text:p></table:table-cell>)") +
        OdsRow(
            R"(<table:table-cell office:value-type="float" office:value="3.5"><text:p>3.5</text:p></table:table-cell>)") +
        OdsRow(
            R"(<table:table-cell office:value-type="boolean" office:boolean-value="true"><text:p>TRUE</text:p></table:table-cell>)") +
        OdsRow("<table:table-cell/>") +
        OdsRow(string +
               R"(<text:p><text:s text:c="2"/>leading spaces</text:p></table:table-cell>)") +
        OdsRow(string + "<text:p>" + kNonAscii + "</text:p></table:table-cell>") +
        OdsRow(
            R"(<table:table-cell office:value-type="boolean" office:boolean-value="false"><text:p>FALSE</text:p></table:table-cell>)") +
        R"(<table:table-row table:number-rows-repeated="1048567">)"
        R"(<table:table-cell table:number-columns-repeated="1024"/></table:table-row>)"
        "</table:table>";
    WriteOds(path, tables, "Second");
}

struct FormatCase {
    const char* name;
    std::function<void(const std::string&)> make;
    bool hasSheets; // a second, active sheet "Second"
};

TEST(FormatReading, eachFormat_givesColumnAOfTheActiveSheet)
{
    const std::string csv = "Text one\r\n\"Line one\nLine two\"\r\n42\r\n3.5\r\nTRUE\r\n\r\n"
                            "  leading spaces\r\n" +
                            std::string(kNonAscii) + "\r\nFALSE\r\n";
    const FormatCase cases[] = {
        {"xlsx", MakeXlsx, true},
        {"xlsx naming the active sheet only in its workbook view",
         [](const std::string& path) {
             MakeXlsx(path + ".tmp");
             auto entries = test::ReadZip(path + ".tmp");
             for (auto& [name, bytes] : entries) {
                 for (auto at = bytes.find(" tabSelected=\"1\""); at != std::string::npos;
                      at = bytes.find(" tabSelected=\"1\""))
                     bytes.erase(at, 16);
                 if (name == "xl/workbook.xml") {
                     ASSERT_NE(bytes.find("activeTab=\"1\""), std::string::npos);
                 }
             }
             test::WriteZip(path, entries);
         },
         true},
        {"xls",
         [](const std::string& path) {
             std::ifstream in(ZRV_SHEET_TEST_DATA "/columnA.xls", std::ios::binary);
             WriteFile(path, {std::istreambuf_iterator<char>(in), {}});
         },
         true},
        {"ods", MakeOds, true},
        {"csv", [&](const std::string& path) { WriteFile(path, csv); }, false},
        {"csv with BOM and LF",
         [&](const std::string& path) {
             std::string lf;
             for (const char c : csv) {
                 if (c != '\r')
                     lf += c;
             }
             WriteFile(path, "\xEF\xBB\xBF" + lf);
         },
         false},
    };
    const std::string folder = test::MakeTempDir("formats");
    int n = 0;
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        // The name says nothing; the content decides.
        const std::string path = folder + "/file" + std::to_string(n++) + ".dat";
        c.make(path);
        std::string error;
        const auto workbook = ReadWorkbookFile(path, error);
        ASSERT_TRUE(workbook) << error;
        ASSERT_EQ(workbook->sheets.size(), c.hasSheets ? 2u : 1u);
        const SheetData& active = workbook->sheets.at(workbook->activeSheet);
        EXPECT_EQ(active.name, c.hasSheets ? "Second" : "Sheet1");
        EXPECT_EQ(active.cells, ColumnA());
        if (c.hasSheets) {
            EXPECT_EQ(workbook->sheets[0].cells.at({1, 1}), Text("not the active sheet"));
        }
    }
}

TEST(FormatReading, csvFields_numbersOnlyInShownFormAndRfc4180Quoting)
{
    struct Case {
        std::string file;
        std::map<CellRef, CellData> cells;
    };
    const Case cases[] = {
        {"42,-3.5,0.25,0,1234567890.12345",
         {{{1, 1}, Number(42)},
          {{1, 2}, Number(-3.5)},
          {{1, 3}, Number(0.25)},
          {{1, 4}, Number(0)},
          {{1, 5}, Number(1234567890.12345)}}},
        {"0042,1.50,+7,1e3,-0,.5,1234567890123456,\"42\"",
         {{{1, 1}, Text("0042")},
          {{1, 2}, Text("1.50")},
          {{1, 3}, Text("+7")},
          {{1, 4}, Text("1e3")},
          {{1, 5}, Text("-0")},
          {{1, 6}, Text(".5")},
          {{1, 7}, Text("1234567890123456")},
          {{1, 8}, Text("42")}}},
        {"TRUE,FALSE,true,\"TRUE\"",
         {{{1, 1}, Boolean(true)},
          {{1, 2}, Boolean(false)},
          {{1, 3}, Text("true")},
          {{1, 4}, Text("TRUE")}}},
        {"\"a,b\",\"say \"\"hi\"\"\",\"x\r\ny\",\"open\" end\n,second",
         {{{1, 1}, Text("a,b")},
          {{1, 2}, Text("say \"hi\"")},
          {{1, 3}, Text("x\r\ny")},
          {{1, 4}, Text("open end")},
          {{2, 2}, Text("second")}}},
        {"lone\rCR\n\"unterminated\nquote",
         {{{1, 1}, Text("lone\rCR")}, {{2, 1}, Text("unterminated\r\nquote")}}},
        {"", {}},
    };
    const std::string folder = test::MakeTempDir("csv");
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder + "/" + std::to_string(n++) + ".csv";
        WriteFile(path, c.file);
        std::string error;
        const auto workbook = ReadWorkbookFile(path, error);
        ASSERT_TRUE(workbook) << error;
        EXPECT_EQ(workbook->sheets.at(0).cells, c.cells);
    }
}

// A text as a file holds it becomes the model's: each lone LF gets its CR,
// line breaks already CR LF and lone CRs stay, what is not UTF-8 is mended.
TEST(FormatReading, fileTexts_lineBreaksBecomeCrLf)
{
    const std::pair<std::string_view, std::string_view> texts[] = {
        {"a\nb", "a\r\nb"},
        {"\n", "\r\n"},
        {"\n\nend\n", "\r\n\r\nend\r\n"},
        {"a\r\nb\nc", "a\r\nb\r\nc"},
        {"\r\n\n", "\r\n\r\n"},
        {"\r\r\n\rx\r", "\r\r\n\rx\r"},
        {"no break", "no break"},
        {"bad\xFF\nbyte", "bad\xEF\xBF\xBD\r\nbyte"},
    };
    CWorkbookBuilder builder;
    const std::size_t sheet = builder.AddSheet("S");
    uint32_t row = 0;
    for (const auto& [file, model] : texts)
        builder.SetText(sheet, ++row, 1, file);
    const WorkbookData workbook = builder.Take();
    row = 0;
    for (const auto& [file, model] : texts) {
        SCOPED_TRACE(file);
        EXPECT_EQ(workbook.sheets[0].cells.at(CellRef{++row, 1}), Text(std::string(model)));
    }
}

TEST(FormatReading, odsCells_spacesRepeatsAndFormulaResults)
{
    const std::string tables =
        R"(<table:table table:name="Only">)" +
        OdsRow(
            R"(<table:table-cell office:value-type="string"><text:p>  a   b<text:s/><text:tab/>c<text:line-break/>d<text:span> e</text:span></text:p>)"
            R"(<office:annotation><text:p>a comment</text:p></office:annotation></table:table-cell>)"
            R"(<table:table-cell table:formula="of:=1/0" office:value-type="float" office:value="0" calcext:value-type="error"><text:p>#DIV/0!</text:p></table:table-cell>)"
            R"(<table:table-cell table:formula="of:=1+1" office:value-type="float" office:value="2"><text:p>2</text:p></table:table-cell>)"
            R"(<table:table-cell office:value-type="date" office:date-value="2024-01-31"><text:p>31.01.24</text:p></table:table-cell>)"
            R"(<table:table-cell><text:p>a<text:s text:c="32764"/></text:p><text:p>b</text:p></table:table-cell>)") +
        R"(<table:table-row table:number-rows-repeated="2">)"
        R"(<table:table-cell table:number-columns-repeated="2"/>)"
        R"(<table:table-cell office:value-type="string" table:number-columns-repeated="2"><text:p>rep</text:p></table:table-cell>)"
        R"(</table:table-row></table:table>)";
    const std::string path = test::MakeTempDir("ods") + "/cells.ods";
    WriteOds(path, tables, "Only");
    std::string error;
    const auto workbook = ReadWorkbookFile(path, error);
    ASSERT_TRUE(workbook) << error;
    const std::map<CellRef, CellData> expected = {
        {{1, 1}, Text("  a   b \tc\r\nd e")},
        {{1, 2}, Error("#DIV/0!")},
        {{1, 3}, Number(2)},
        {{1, 4}, Date(45322)},
        {{1, 5}, Text("a" + std::string(32764, ' ') + "\r\nb")}, // the longest a cell holds
        {{2, 3}, Text("rep")},
        {{2, 4}, Text("rep")},
        {{3, 3}, Text("rep")},
        {{3, 4}, Text("rep")},
    };
    EXPECT_EQ(workbook->sheets.at(0).cells, expected);
}

TEST(FormatReading, xlsxCells_formulaResultsErrorsAndInlineStrings)
{
    const std::string path = test::MakeTempDir("xlsx") + "/cells.xlsx";
    test::WriteZip(
        path,
        test::XlsxPackage(
            R"(<row r="1"><c r="A1"><f>1+1</f><v>2</v></c><c r="B1" t="s"><v>0</v></c></row>)"
            R"(<row r="2"><c r="A2" t="e"><v>#DIV/0!</v></c>)"
            R"(<c r="B2" t="inlineStr"><is><t>inline</t></is></c></row>)"
            R"(<row r="3"><c r="A3" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>)"
            R"(<c r="B3" t="b"><f>TRUE()</f><v>1</v></c></row>)"
            R"(<row r="4"><c r="A4" t="e"><f>1/0</f><v>#N/A</v></c>)"
            R"(<c r="B4" t="s"><v>1</v></c></row>)"
            R"(<row><c t="inlineStr"><is><r><t>rich </t></r><r><t>inline</t></r></is></c>)"
            R"(<c t="s"><v>2</v></c></row>)"
            R"(<row r="6"><c r="A6"><f t="array" ref="A6:B6">{7,8}</f><v>7</v></c>)"
            R"(<c r="B6"><v>8</v></c></row>)",
            R"(<si><t>shared</t></si><si><r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r></si>)"
            "<si><t>not UTF-8: \xFF</t></si>"));
    std::string error;
    const auto workbook = ReadWorkbookFile(path, error);
    ASSERT_TRUE(workbook) << error;
    const std::map<CellRef, CellData> expected = {
        {{1, 1}, Number(2)},           {{1, 2}, Text("shared")},
        {{2, 1}, Error("#DIV/0!")},    {{2, 2}, Text("inline")},
        {{3, 1}, Text("ab")},          {{3, 2}, Boolean(true)},
        {{4, 1}, Error("#N/A")},       {{4, 2}, Text("rich text")},
        {{5, 1}, Text("rich inline")}, {{5, 2}, Text("not UTF-8: \xEF\xBF\xBD")},
        {{6, 1}, Number(7)},           {{6, 2}, Number(8)},
    };
    EXPECT_EQ(workbook->sheets.at(0).cells, expected);
}

// Numbers in a date format read as dates, counted from 1899-12-30 in
// workbooks of either date system; dates typed as such too.
TEST(FormatReading, xlsxDates_byCellFormatAndDateSystem)
{
    const std::string styles =
        R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="hh:mm"/>)"
        R"(<numFmt numFmtId="165" formatCode="0.00&quot;h&quot;"/></numFmts>)"
        R"(<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs><cellXfs count="4">)"
        R"(<xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/>)"
        "</cellXfs></styleSheet>";
    const std::string cells =
        R"(<row r="1"><c r="A1" s="1"><v>45366</v></c></row>)"
        R"(<row r="2"><c r="A2" s="2"><v>0.75</v></c></row>)"
        R"(<row r="3"><c r="A3" s="3"><v>1.5</v></c></row>)"
        R"(<row r="4"><c r="A4" s="1"><f>DATE(2024,3,15)</f><v>45366</v></c></row>)"
        R"(<row r="5"><c r="A5" t="d"><v>2024-03-15T12:00:00</v></c></row>)"
        R"(<row r="6"><c r="A6" s="1" t="str"><f>"x"</f><v>x</v></c></row>)"
        R"(<row r="7"><c r="A7"><v>45366</v></c></row>)"
        R"(<row r="8"><c r="A8" t="d"><v>2023-02-29</v></c></row>)";
    const std::string folder = test::MakeTempDir("xlsx");
    for (const bool base1904 : {false, true}) {
        SCOPED_TRACE(base1904 ? "1904" : "1900");
        auto entries = test::XlsxPackage(cells);
        for (auto& [name, bytes] : entries) {
            if (name == "xl/_rels/workbook.xml.rels")
                bytes.replace(bytes.find("</Relationships>"), 0,
                              R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/)"
                              R"(officeDocument/2006/relationships/styles" Target="styles.xml"/>)");
            if (name == "xl/workbook.xml" && base1904)
                bytes.replace(bytes.find("<sheets>"), 0, R"(<workbookPr date1904="1"/>)");
        }
        entries.emplace_back("xl/styles.xml", styles);
        const std::string path = folder + (base1904 ? "/1904.xlsx" : "/1900.xlsx");
        test::WriteZip(path, entries);
        std::string error;
        const auto workbook = ReadWorkbookFile(path, error);
        ASSERT_TRUE(workbook) << error;
        const double shift = base1904 ? 1462 : 0;
        const std::map<CellRef, CellData> expected = {
            {{1, 1}, Date(45366 + shift)}, {{2, 1}, Date(0.75 + shift)}, {{3, 1}, Number(1.5)},
            {{4, 1}, Date(45366 + shift)}, {{5, 1}, Date(45366.5)},      {{6, 1}, Text("x")},
            {{7, 1}, Number(45366)},       {{8, 1}, Text("2023-02-29")},
        };
        EXPECT_EQ(workbook->sheets.at(0).cells, expected);
    }
}

} // namespace
// Parts that are not XML (pictures, binaries) are never handed to liborcus;
// the cells around them read as always.
TEST(FormatReading, xlsxWithPicture_readsItsCells)
{
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
        0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
        0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78,
        0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01, 0x0D, 0x0A, 0x2D, 0xB4, 0x00,
        0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    const std::string path = test::MakeTempDir("xlsx") + "/picture.xlsx";
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    worksheet_write_string(sheet, 0, 0, "beside a picture", nullptr);
    ASSERT_EQ(worksheet_insert_image_buffer(sheet, 1, 1, png, sizeof png), LXW_NO_ERROR);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
    std::string error;
    const auto workbook = ReadWorkbookFile(path, error);
    ASSERT_TRUE(workbook) << error;
    EXPECT_EQ(workbook->sheets.at(0).cells,
              (std::map<CellRef, CellData>{{{1, 1}, Text("beside a picture")}}));
}

namespace {

std::string DataFile(const std::string& name)
{
    std::ifstream in(ZRV_SHEET_TEST_DATA "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct RealFile {
    const char* name; // in the test data folder
    std::vector<CellData> columnA;
};

// Files saved by LibreOffice Calc and Gnumeric (data/README.md says how):
// column A of the first sheet reads as both programs show it.
TEST(FormatReading, filesFromSpreadsheetPrograms_readAsTheyShowThem)
{
    const CellData spaces = Text("Two  spaces.  After period\r\n    -- Indented Author");
    std::string latin, cyrillic, mixed, e9000, e20000;
    for (int i = 0; i < 16440; ++i)
        latin += "abcdefghijklmnopqrstuvwxyz0123456789 "[i % 37];
    for (int i = 0; i < 9000; ++i) { // U+0410 to U+044F
        const int c = 0x410 + i % 64;
        cyrillic += static_cast<char>(0xC0 | c >> 6);
        cyrillic += static_cast<char>(0x80 | (c & 0x3F));
    }
    for (int i = 0; i < 1500; ++i)
        mixed += "ab\xD0\xB6\xC3\xA9";
    for (int i = 0; i < 20000; ++i)
        (i < 9000 ? e9000 : e20000) += "\xC3\xA9";
    e20000 = e9000 + e20000;
    const std::vector<CellData> values = {Number(2),        Text("ab"),   Number(1),
                                          Error("#DIV/0!"), Date(45366),  Date(45366 + 12.5 / 24),
                                          Number(45366),    Text("after")};
    // LibreOffice keeps no text result of a formula in xls (it computes it
    // again), so the file holds the number 0.
    std::vector<CellData> libreOfficeXls = values;
    libreOfficeXls[1] = Number(0);
    // Gnumeric shows a boolean result as such, and DATE()'s result as a date
    // (a format its xls does not keep).
    std::vector<CellData> gnumericValues = values;
    gnumericValues[2] = Boolean(true);
    std::vector<CellData> gnumericDated = gnumericValues;
    gnumericDated[6] = Date(45366);
    const RealFile files[] = {
        {"libreoffice-texts.xls", {Text(latin), Text(cyrillic), Text(mixed)}},
        {"gnumeric-texts.xls", {Text(e9000), Text(e20000)}},
        {"libreoffice-values.xls", libreOfficeXls},
        {"libreoffice-values.xlsx", values},
        {"libreoffice-values.ods", values},
        {"gnumeric-values.xls", gnumericValues},
        {"gnumeric-values-biff7.xls", gnumericDated},
        {"gnumeric-codepage.xls",
         {Text("caf\xC3\xA9"),
          Text("Gr\xC3\xB6\xC3\x9F"
               "e \xE2\x80\x93 \xC3\xBCn\xC3\xAF"
               "c\xC3\xB6"
               "d\xC3\xA9"),
          Text("plain"),
          Text("\xE2\x82\xAC sign \xE2\x80\xB0"),
          Number(12.5),
          {},
          Text("line one\r\nline two"),
          Text("\xE2\x80\x9Equotes\xE2\x80\x9C \xE2\x80\x98single\xE2\x80\x99")}},
        {"gnumeric-values.xlsx", gnumericDated},
        {"gnumeric-values.ods", gnumericDated},
        {"libreoffice-spaces.ods", {spaces, Text("  lead and trail  "), Text("a\tb")}},
        {"gnumeric-spaces.ods", {spaces, Text("  lead and trail  "), Text("a\tb")}},
    };
    const std::string folder = test::MakeTempDir("real");
    for (const RealFile& file : files) {
        SCOPED_TRACE(file.name);
        const std::string path = folder + "/" + file.name;
        WriteFile(path, DataFile(file.name));
        std::string error;
        const auto workbook = ReadWorkbookFile(path, error);
        ASSERT_TRUE(workbook) << error;
        std::map<CellRef, CellData> expected;
        for (std::size_t i = 0; i < file.columnA.size(); ++i) {
            if (file.columnA[i].kind != CellKind::Empty)
                expected[{static_cast<uint32_t>(i + 1), 1}] = file.columnA[i];
        }
        // xlsx keeps 15 digits: times match to the millisecond.
        auto cells = workbook->sheets.at(0).cells;
        for (auto& [ref, cell] : cells) {
            if (const auto& want = expected.find(ref);
                want != expected.end() && std::abs(cell.number - want->second.number) < 1e-8)
                cell.number = want->second.number;
        }
        EXPECT_EQ(cells, expected);
    }
}

} // namespace
} // namespace zrv::sheet
