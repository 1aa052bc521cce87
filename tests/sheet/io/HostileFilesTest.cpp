// Damaged and hostile spreadsheet files: each is refused with its reason, or
// read within the limits; none crashes, hangs or takes the memory.

#include "sheet/io/WorkbookFiles.h"
#include "sheet/io/XmlMarkup.h"
#include "tests/sheet/io/BiffFiles.h"
#include "tests/sheet/io/CellValues.h"
#include "tests/sheet/io/ZipFiles.h"
#include "tests/support/TempHome.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <tuple>

namespace zrv::sheet {
namespace {

std::string DataFile(const std::string& name)
{
    std::ifstream in(ZRV_SHEET_TEST_DATA "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string ColumnAXls()
{
    return DataFile("columnA.xls");
}

// The xls test file with the first record of `type` and `length` changed by `patch`.
std::string PatchedXls(std::string_view header, const std::function<void(char*)>& patch)
{
    std::string bytes = ColumnAXls();
    const auto at = bytes.find(header);
    if (at == std::string::npos)
        throw std::runtime_error("record not found");
    patch(bytes.data() + at);
    return bytes;
}

std::string Ods(const std::string& content, const std::string& manifest = "")
{
    test::ZipEntries entries = {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                {"content.xml", content}};
    if (!manifest.empty())
        entries.emplace_back("META-INF/manifest.xml", manifest);
    return test::ZipBytes(entries);
}

std::string OdsTable(const std::string& rows)
{
    return R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
           R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
           R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0">)"
           R"(<office:body><office:spreadsheet><table:table table:name="T">)" +
           rows + "</table:table></office:spreadsheet></office:body></office:document-content>";
}

const std::string kLaughs = R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol">)"
                            R"(<!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">)"
                            R"(<!ENTITY lol3 "&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;">)"
                            "]>";

// The zip bytes with `field` written over both headers of entry `name`: at
// `localOffset` in its local header, at `centralOffset` in its central
// directory entry.
std::string PatchedEntry(std::string zip, const std::string& name, std::size_t localOffset,
                         std::size_t centralOffset, const std::string& field)
{
    for (const auto& [signature, offset, nameOffset] :
         {std::tuple(std::string_view("PK\x03\x04", 4), localOffset, std::size_t{30}),
          std::tuple(std::string_view("PK\x01\x02", 4), centralOffset, std::size_t{46})}) {
        for (auto at = zip.find(signature); at != std::string::npos;
             at = zip.find(signature, at + 4)) {
            if (zip.compare(at + nameOffset, name.size(), name) == 0)
                zip.replace(at + offset, field.size(), field);
        }
    }
    return zip;
}

// A package whose entry `liar` says it unpacks to `claimed` bytes: an
// honest zip bomb when that is large, a lying one when the entry is larger.
std::string ClaimedSize(const test::ZipEntries& entries, const std::string& liar, uint32_t claimed)
{
    const std::string size{static_cast<char>(claimed), static_cast<char>(claimed >> 8),
                           static_cast<char>(claimed >> 16), static_cast<char>(claimed >> 24)};
    return PatchedEntry(test::ZipBytes(entries), liar, 22, 24, size);
}

// A package whose entry `name` claims compression method `method`.
std::string CompressionMethod(const std::string& zip, const std::string& name, uint16_t method)
{
    return PatchedEntry(zip, name, 8, 10,
                        {static_cast<char>(method), static_cast<char>(method >> 8)});
}

std::string Repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// An xlsx whose workbook lists a second sheet whose relationship targets
// `target`, the first sheet's part under another spelling.
std::string TwiceListedSheet(const std::string& target)
{
    auto entries = test::XlsxPackage(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    for (auto& [name, bytes] : entries) {
        if (name == "xl/workbook.xml")
            bytes.replace(bytes.find("</sheets>"), 0,
                          R"(<sheet name="Again" sheetId="2" r:id="rId9"/>)");
        if (name == "xl/_rels/workbook.xml.rels")
            bytes.replace(bytes.find("</Relationships>"), 0,
                          R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/)"
                          R"(officeDocument/2006/relationships/worksheet" Target=")" +
                              target + R"("/>)");
    }
    return test::ZipBytes(entries);
}

std::string XlsOfSheets(int count, uint32_t rows, uint16_t columns)
{
    std::vector<test::BiffSheet> sheets;
    for (int i = 0; i < count; ++i)
        sheets.push_back({"S" + std::to_string(i),
                          test::BiffDimensions(rows, columns) + test::BiffNumber(0, 0, i)});
    return test::XlsBytes("", sheets);
}

struct Hostile {
    const char* what;
    std::function<std::string()> bytes;
    std::string error; // the reason; a prefix when it ends in "..."
};

TEST(HostileFiles, eachIsRefusedWithItsReason)
{
    const auto sheet = [](const std::string& rows, const std::string& strings = "") {
        return test::ZipBytes(test::XlsxPackage(rows, strings));
    };
    const Hostile cases[] = {
        {"zip bomb: an xlsx part unpacking to 129 MiB",
         [] { return ClaimedSize(test::XlsxPackage(""), "xl/worksheets/sheet1.xml", 129u << 20); },
         "a zip package entry is larger than 128 MiB"},
        {"xlsx part lying about its size",
         [] {
             return ClaimedSize(test::XlsxPackage(std::string(1 << 20, ' ')),
                                "xl/worksheets/sheet1.xml", 100);
         },
         "package entry xl/worksheets/sheet1.xml is longer than it says"},
        {"ods part lying about its size",
         [] {
             return ClaimedSize({{"content.xml", OdsTable(std::string(1 << 20, ' '))}},
                                "content.xml", 100);
         },
         "package entry content.xml is longer than it says"},
        // Entries large enough to be checked by two threads: the reason is
        // still the one of the first entry in the package that fails.
        {"xlsx with two damaged parts",
         [] {
             auto entries = test::XlsxPackage(std::string(400 << 10, ' ') + "<row");
             entries[2].second = "<workbook>" + std::string(400 << 10, ' ') + "</sheets>";
             return test::ZipBytes(entries);
         },
         "damaged XML in xl/workbook.xml (an end tag that closes no open element)"},
        {"xlsx with a large sound part before a damaged one",
         [] {
             auto entries = test::XlsxPackage("<row r=\"1\">" + std::string(600 << 10, ' '));
             entries[0].second.insert(entries[0].second.find("<Default"),
                                      std::string(600 << 10, ' '));
             return test::ZipBytes(entries);
         },
         "damaged XML in xl/worksheets/sheet1.xml (an end tag that closes no open element)"},
        {"xlsx with a damaged part before a refused one",
         [] {
             auto entries = test::XlsxPackage(std::string(400 << 10, ' '));
             entries[1].second += "<";
             entries.back().second = kLaughs + "<worksheet>&lol3;</worksheet>";
             return test::ZipBytes(entries);
         },
         "damaged XML in _rels/.rels (a second root element)"},
        {"xlsx with a refused part before a damaged one",
         [] {
             auto entries = test::XlsxPackage(std::string(400 << 10, ' ') + "<row");
             entries[2].second = kLaughs + "<workbook/>";
             return test::ZipBytes(entries);
         },
         "refused XML document type or prolog in xl/workbook.xml"},
        {"xlsx with entity definitions",
         [] {
             auto entries = test::XlsxPackage("");
             entries.back().second = kLaughs + "<worksheet>&lol3;</worksheet>";
             return test::ZipBytes(entries);
         },
         "refused XML document type or prolog in xl/worksheets/sheet1.xml"},
        {"xlsx sheet starting with other bytes before damaged markup",
         [] {
             auto entries = test::XlsxPackage("");
             entries.back().second = "\t\x1D<?xml v=\"1\"?><worksheet><![CDATA[";
             return test::ZipBytes(entries);
         },
         "damaged XML in xl/worksheets/sheet1.xml (not XML)"},
        {"xlsx hiding a document type behind a long comment",
         [] {
             auto entries = test::XlsxPackage("");
             entries.back().second = "<!--" + std::string(5000, '-') + "-->" + kLaughs;
             return test::ZipBytes(entries);
         },
         "refused XML document type or prolog in xl/worksheets/sheet1.xml"},
        {"xlsx workbook cut off inside an attribute value",
         [] {
             auto entries = test::XlsxPackage("");
             for (auto& [name, bytes] : entries) {
                 if (name == "xl/workbook.xml")
                     bytes = R"(<?xml version="1.0"?><workbook><sheets><sheet name="a)";
             }
             return test::ZipBytes(entries);
         },
         "damaged XML in xl/workbook.xml (an unterminated attribute value)"},
        {"ods with entity definitions",
         [] { return Ods(kLaughs + "<office:document-content>&lol3;</office:document-content>"); },
         "refused XML document type in content.xml"},
        {"xlsx shared string table of 1.1 million strings",
         [&] {
             std::string strings;
             for (int i = 0; i < 1100000; ++i)
                 strings += "<si/>";
             return sheet(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)", strings);
         },
         "the shared string table is over the size limit"},
        {"xlsx shared string index past the table",
         [&] {
             return sheet(R"(<row r="1"><c r="A1" t="s"><v>7</v></c></row>)", "<si><t>a</t></si>");
         },
         "a cell refers to a shared string that does not exist"},
        {"xlsx row past 1048576",
         [&] { return sheet(R"(<row r="1048577"><c r="A1048577"><v>1</v></c></row>)"); },
         "bad cell address \"A1048577\""},
        {"xlsx cell address holding a line break and a byte that is not UTF-8",
         [&] { return sheet("<row r=\"1\"><c r=\"A\n\xFF\"><v>1</v></c></row>"); },
         "bad cell address \"A \xEF\xBF\xBD\""},
        {"xlsx row height past 1048576",
         [&] { return sheet(R"(<row r="1048577" ht="30" customHeight="1"/>)"); },
         "row 1048577 is past the last row 1048576"},
        {"ods value past row 1048576",
         [] {
             return Ods(OdsTable(
                 R"(<table:table-row table:number-rows-repeated="1048576"/><table:table-row>)"
                 R"(<table:table-cell office:value-type="float" office:value="1"/></table:table-row>)"));
         },
         "row 1048577 is past the last row 1048576"},
        {"ods repeated cells past the cell limit",
         [] {
             return Ods(OdsTable(
                 R"(<table:table-row table:number-rows-repeated="1048576"><table:table-cell)"
                 R"( office:value-type="float" office:value="1" table:number-columns-repeated="4"/>)"
                 "</table:table-row>"));
         },
         "more than 1048576 cells"},
        {"ods nested 200,000 deep, never closed",
         [] { return Ods(OdsTable(Repeated("<a>", 200000))); },
         "damaged XML in content.xml (elements nested too deep)"},
        {"ods nested 10,001 deep, closed",
         [] { return Ods(OdsTable(Repeated("<a>", 10001) + Repeated("</a>", 10001))); },
         "damaged XML in content.xml (elements nested too deep)"},
        {"ods space runs expanding past 32,767 characters",
         [] {
             return Ods(OdsTable(R"(<table:table-row><table:table-cell/><table:table-cell>)"
                                 R"(<text:p>a<text:s text:c="32766"/>b</text:p>)"
                                 "</table:table-cell></table:table-row>"));
         },
         "the text of cell B1 is longer than 32767 characters"},
        {"ods space run of 4 billion",
         [] {
             return Ods(OdsTable(R"(<table:table-row><table:table-cell><text:p>)" +
                                 Repeated(R"(<text:s text:c="4294967296"/>)", 3) +
                                 "</text:p></table:table-cell></table:table-row>"));
         },
         "the text of cell A1 is longer than 32767 characters"},
        {"ods paragraphs together past 32,767 characters",
         [] {
             return Ods(OdsTable("<table:table-row><table:table-cell>" +
                                 Repeated("<text:p>" + std::string(4095, 'x') + "</text:p>", 8) +
                                 "<text:p>y</text:p></table:table-cell></table:table-row>"));
         },
         "the text of cell A1 is longer than 32767 characters"},
        {"ods string value past 32,767 characters",
         [] {
             return Ods(OdsTable(R"(<table:table-row><table:table-cell office:value-type="string")"
                                 R"( office:string-value=")" +
                                 Repeated("\xC3\xA9", 32768) + R"("/></table:table-row>)"));
         },
         "the text of cell A1 is longer than 32767 characters"},
        {"ods content entry compressed with a method zip readers do not know",
         [] { return CompressionMethod(Ods(OdsTable("")), "content.xml", 6); },
         "a zip package entry is compressed with a method that cannot be read (method 6)"},
        {"xlsx array formula over a whole sheet's width",
         [&] {
             return sheet(R"(<row r="1"><c r="A1"><f t="array" ref="A1:XFD16384">1</f>)"
                          R"(<v>1</v></c></row>)");
         },
         "array formulas cover more than 1048576 cells"},
        {"xlsx array formulas over the cell limit together, one spelled with references",
         [&] {
             return sheet(R"(<row r="1"><c r="A1"><f t="array" ref="A1:J60000">1</f></c>)"
                          R"(<c r="K1"><f t="&#97;rray" ref="K1:&#84;60000">1</f></c></row>)");
         },
         "array formulas cover more than 1048576 cells"},
        {"xlsx listing its sheet part for two sheets",
         [] { return TwiceListedSheet("worksheets/sheet1.xml"); },
         "the workbook lists the sheet xl/worksheets/sheet1.xml twice"},
        {"xlsx listing its sheet part twice by another path",
         [] { return TwiceListedSheet("../xl/worksheets/./sheet1.xml"); },
         "the workbook lists the sheet xl/worksheets/sheet1.xml twice"},
        {"xlsx row before the first",
         [&] { return sheet(R"(<row r="-5" ht="30" customHeight="1"/>)"); },
         "row -5 is before the first row"},
        {"xlsx cell in a row before the first",
         [&] { return sheet(R"(<row r="-5"><c><v>1</v></c></row>)"); },
         "row -5 is before the first row"},
        {"xlsx inline string in a row before the first",
         [&] { return sheet(R"(<row r="-5"><c t="inlineStr"><is><t>x</t></is></c></row>)"); },
         "row -5 is before the first row"},
        {"csv value past row 1048576", [] { return std::string(1048576, '\n') + "x"; },
         "row 1048577 is past the last row 1048576"},
        {"csv past column 16384", [] { return std::string(16384, ',') + "x"; },
         "column 16385 is past the last column 16384"},
        {"xls with a password (FILEPASS)",
         [] {
             return PatchedXls(std::string_view("\x3D\x00\x12\x00", 4),
                               [](char* p) { p[0] = 0x2F; });
         },
         "the file is password-protected"},
        {"xls declaring 65536 x 256 cells",
         [] {
             return PatchedXls(std::string_view("\x00\x02\x0E\x00", 4), [](char* p) {
                 p[8] = 0, p[9] = 0, p[10] = 1; // rows 65536
                 p[14] = 0, p[15] = 1;          // columns 256
             });
         },
         "the sheets of the xls file are over the size limit (4194304 cells)"},
        {"xls of 40 sheets declaring 65536 x 64 cells each",
         [] { return XlsOfSheets(40, 65536, 64); },
         "the sheets of the xls file are over the size limit (4194304 cells)"},
        {"xls of 2 sheets declaring 65536 x 33 cells each",
         [] { return XlsOfSheets(2, 65536, 33); },
         "the sheets of the xls file are over the size limit (4194304 cells)"},
        {"xls sheet with a second size record",
         [] {
             return PatchedXls(std::string_view("\x3E\x02\x12\x00", 4),
                               [](char* p) { p[0] = 0x00; }); // WINDOW2 becomes DIMENSIONS
         },
         "damaged xls file (a sheet with two size records)"},
        {"xls sheet list entry inside a sheet",
         [] {
             return PatchedXls(std::string_view("\x82\x00\x02\x00", 4),
                               [](char* p) { p[0] = '\x85'; }); // GRIDSET becomes BOUNDSHEET
         },
         "damaged xls file (a workbook record inside a sheet)"},
        {"xls number format whose text runs past its record",
         [] {
             return PatchedXls(std::string_view("\x1E\x04\x1C\x00", 4), [](char* p) {
                 p[6] = '\xEE', p[7] = '\xFF', p[8] = 1; // 65,518 UTF-16 characters
             });
         },
         "damaged xls file (a text longer than its record)"},
        {"xls shared strings past their records",
         [] {
             return PatchedXls(std::string_view("\xFC\x00\x72\x00", 4), [](char* p) {
                 p[12] = p[13] = 0x7F; // the first string's length
             });
         },
         "damaged xls file (a text longer than its record)"},
        {"xls record longer than BIFF8 allows", [] { return DataFile("freexl-overread.xls"); },
         "damaged xls file (a record longer than the format allows)"},
        {"xls cut in half", [] { return ColumnAXls().substr(0, 2600); },
         "damaged xls container: ..."},
        {"office file encrypted with a password",
         [] {
             std::string cfb = ColumnAXls().substr(0, 512) + std::string(512, '\0');
             const std::string name = "EncryptedPackage";
             for (std::size_t i = 0; i < name.size(); ++i)
                 cfb[600 + 2 * i] = name[i];
             return cfb;
         },
         "the file is password-protected"},
        {"ods encrypted with a password",
         [] {
             return Ods(
                 "not XML after encryption",
                 R"(<manifest:manifest><manifest:file-entry manifest:full-path="content.xml">)"
                 R"(<manifest:encryption-data/></manifest:file-entry></manifest:manifest>)");
         },
         "the file is password-protected"},
        {"OpenDocument text, not a spreadsheet",
         [] {
             return test::ZipBytes({{"mimetype", "application/vnd.oasis.opendocument.text"},
                                    {"content.xml", "<x/>"}});
         },
         "an OpenDocument file that is not a spreadsheet"},
        {"zip of something else",
         [] {
             return test::ZipBytes({{"a.txt", "a"}});
         },
         "a zip file that is neither xlsx nor ods"},
        {"xlsx cut short", [&] { return sheet("<row/>").substr(0, 300); },
         "damaged zip package: ..."},
        {"binary data",
         [] {
             return std::string("\x7F"
                                "ELF\x02\x01\x01\0\0\0",
                                10);
         },
         "not a spreadsheet file (neither xlsx, xls, ods nor UTF-8 text)"},
        {"text that is not UTF-8", [] { return std::string("caf\xE9\n"); },
         "not a spreadsheet file (neither xlsx, xls, ods nor UTF-8 text)"},
    };
    const std::string folder = test::MakeTempDir("hostile");
    int n = 0;
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder + "/" + std::to_string(n++);
        std::ofstream(path, std::ios::binary) << c.bytes();
        std::string error;
        EXPECT_FALSE(ReadWorkbookFile(path, error));
        if (c.error.ends_with("..."))
            EXPECT_EQ(error.substr(0, c.error.size() - 3), c.error.substr(0, c.error.size() - 3))
                << error;
        else
            EXPECT_EQ(error, c.error);
    }
}

// A sheet without a size record (a chart sheet has none) is left out; the
// other sheets read as they would without it.
TEST(HostileFiles, xlsSheetWithoutSizeRecord_isLeftOut)
{
    std::string bytes = ColumnAXls();
    for (const std::string_view header : {std::string_view("\x00\x02\x0E\x00", 4),    // DIMENSIONS
                                          std::string_view("\xFD\x00\x0A\x00", 4)}) { // LABELSST
        const auto at = bytes.find(header);
        ASSERT_NE(at, std::string::npos);
        bytes[at] = bytes[at + 1] = '\x7F'; // the first sheet's record becomes an unknown one
    }
    const std::string folder = test::MakeTempDir("hostile");
    std::ofstream(folder + "/whole.xls", std::ios::binary) << ColumnAXls();
    std::ofstream(folder + "/chart.xls", std::ios::binary) << bytes;
    std::string error;
    const auto whole = ReadWorkbookFile(folder + "/whole.xls", error);
    ASSERT_TRUE(whole) << error;
    ASSERT_GE(whole->sheets.size(), 2u);
    const auto rest = ReadWorkbookFile(folder + "/chart.xls", error);
    ASSERT_TRUE(rest) << error;
    EXPECT_EQ(rest->sheets, std::vector<SheetData>(whole->sheets.begin() + 1, whole->sheets.end()));
}

// The markup check that stands before liborcus: sound documents pass, each
// damage is named.
TEST(HostileFiles, xmlMarkup_soundPassesAndEachDamageIsNamed)
{
    for (const std::string_view sound :
         {std::string_view(R"(<?xml version="1.0"?><a x="1" y='&quot;'><b/>t&amp;&#10;&#x41;)"
                           R"(<![CDATA[<x>]]><!-- c --><?pi x="1"?></a> <!-- after -->)"),
          std::string_view("\xEF\xBB\xBF<a/>"), std::string_view("<a>\xFF</a\t>")})
        EXPECT_EQ(XmlMarkupFault(sound), std::nullopt) << sound;
    const std::pair<std::string_view, std::string_view> damaged[] = {
        {R"(<a x="1>)", "an unterminated attribute value"},
        {R"(<a x="<"/>)", "an unterminated attribute value"},
        {"<a x=1/>", "an attribute value without quotes"},
        {R"(<a x="1"y="2"/>)", "a broken tag"},
        {"<a", "an unterminated tag"},
        {"<a><b></a>", "an end tag that closes no open element"},
        {"<a>", "the document ends inside an element"},
        {"<a/><b/>", "a second root element"},
        {"text<a/>", "text outside the root element"},
        {"<a>&amp</a>", "a broken character reference"},
        {"<a>&#;</a>", "a broken character reference"},
        {"<a><!-- x</a>", "an unterminated comment"},
        {"<a><![CDATA[x</a>", "an unterminated CDATA section"},
        {"<a><!DOCTYPE x></a>", "a document type or declaration"},
        {" ", "no root element"},
        {R"(<?xml version="1.0" encoding="UTF-8& standalone="yes"?><a/>)",
         "a broken character reference"},
        {"<?pi x?><a/>", "an attribute without a value"},
        {"<?xml version='1'", "an unterminated processing instruction"},
    };
    for (const auto& [xml, fault] : damaged)
        EXPECT_EQ(XmlMarkupFault(xml), std::string(fault)) << xml;
    std::string deep;
    for (int i = 0; i < 10001; ++i)
        deep += "<a>";
    EXPECT_EQ(XmlMarkupFault(deep), "elements nested too deep");
}

TEST(HostileFiles, fifoOrFolder_isRefusedWithoutWaiting)
{
    const std::string folder = test::MakeTempDir("hostile");
    const std::string fifo = folder + "/pipe.xlsx";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, folder}) {
        std::string error;
        EXPECT_FALSE(ReadWorkbookFile(path, error));
        EXPECT_EQ(error, path + " is not a file");
    }
}

TEST(HostileFiles, formulasWithoutResults_readAsEmptyCellsAndAreNeverEvaluated)
{
    const std::string path = test::MakeTempDir("hostile") + "/formulas.xlsx";
    test::WriteZip(
        path, test::XlsxPackage(R"(<row r="1"><c r="A1"><f>A1+1</f></c>)"
                                R"(<c r="B1"><f>SUM(A:XFD)*INDIRECT("A"&amp;ROW())</f></c></row>)"
                                R"(<row r="2"><c r="A2"><v>5</v></c></row>)"));
    std::string error;
    const auto workbook = ReadWorkbookFile(path, error);
    ASSERT_TRUE(workbook) << error;
    const std::map<CellRef, CellData> expected = {{{2, 1}, Number(5)}};
    EXPECT_EQ(workbook->sheets.at(0).cells, expected);
}

} // namespace
} // namespace zrv::sheet
