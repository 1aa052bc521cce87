// The reader program's answer: what it encodes decodes to the same workbook,
// and a stream that is damaged, cut short or past the limits is refused with
// its reason before anything is allocated for what it claims.

#include "sheet/io/WorkbookStream.h"

#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookLimits.h"
#include "tests/sheet/io/CellValues.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace zrv::sheet {
namespace {

WorkbookData EveryKind()
{
    WorkbookData workbook;
    workbook.sheets.resize(2);
    workbook.sheets[0].name = "First";
    SheetData& sheet = workbook.sheets[1];
    sheet.name = "Größe";
    sheet.cells[{1, 1}] = Text("two\r\nlines");
    sheet.cells[{1, 16384}] = Number(-0.125);
    sheet.cells[{2, 1}] = Boolean(true);
    sheet.cells[{2, 2}] = Boolean(false);
    sheet.cells[{1048576, 3}] = Error("#DIV/0!");
    sheet.cells[{7, 7}] = Number(1e300);
    sheet.cells[{7, 8}] = Date(45366.5);
    sheet.rowHeights = {{1, 30}, {1048576, 0}};
    sheet.columnWidths = {{1, 60}, {16384, 8.43}};
    sheet.activeCell = {2, 2};
    workbook.activeSheet = 1;
    return workbook;
}

ReaderAnswer Decode(std::string_view bytes)
{
    CMemorySource source(bytes);
    return DecodeAnswer(source);
}

// Bytes of a hand-made answer.
class Stream {
public:
    Stream& Bytes(std::string_view bytes)
    {
        m_bytes += bytes;
        return *this;
    }
    Stream& U8(uint8_t value) { return Bytes(std::string(1, static_cast<char>(value))); }
    Stream& U32(uint32_t value) { return Raw(value); }
    Stream& F64(double value) { return Raw(value); }
    Stream& Text(std::string_view text)
    {
        return U32(static_cast<uint32_t>(text.size())).Bytes(text);
    }
    // The header of a workbook answer and one sheet, up to its cell count.
    Stream& Workbook(uint32_t sheets = 1, uint32_t active = 0)
    {
        return Bytes("ZRVA").U8(1).U8('W').U32(sheets).U32(active).Text("S").U32(1).U32(1);
    }
    const std::string& str() const { return m_bytes; }

private:
    template <class T> Stream& Raw(T value)
    {
        char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        return Bytes(std::string_view(bytes, sizeof bytes));
    }
    std::string m_bytes;
};

TEST(WorkbookStream, everyKindAndTheLayout_decodeToTheSameWorkbook)
{
    const WorkbookData workbook = EveryKind();
    const ReaderAnswer answer = Decode(EncodeWorkbookAnswer(workbook));
    ASSERT_TRUE(answer.read);
    EXPECT_EQ(answer.workbook, workbook);

    const ReaderAnswer refused = Decode(EncodeFailureAnswer("row -5 is\r\nbad \xFF"));
    EXPECT_FALSE(refused.read);
    EXPECT_EQ(refused.reason, "row -5 is  bad \xEF\xBF\xBD");
    // A long reason is cut to a whole character.
    const ReaderAnswer cut = Decode(EncodeFailureAnswer(std::string(4095, 'x') + "ü"));
    EXPECT_EQ(cut.reason, std::string(4095, 'x'));
}

TEST(WorkbookStream, anAnswerCutShort_isRefusedAtEveryLength)
{
    for (const std::string& whole :
         {EncodeWorkbookAnswer(EveryKind()), EncodeFailureAnswer("reason")}) {
        for (std::size_t size = 0; size < whole.size(); ++size)
            EXPECT_THROW(Decode(whole.substr(0, size)), CReadError) << size;
    }
}

TEST(WorkbookStream, damagedOrOverTheLimits_isRefusedWithItsReason)
{
    const auto cell = [](Stream s, uint32_t row, uint32_t column, uint8_t kind) {
        return s.U32(1).U32(row).U32(column).U8(kind);
    };
    const uint8_t text = static_cast<uint8_t>(CellKind::Text);
    const uint8_t number = static_cast<uint8_t>(CellKind::Number);
    const uint8_t boolean = static_cast<uint8_t>(CellKind::Boolean);
    const struct {
        const char* what;
        std::string bytes;
        std::string reason;
    } cases[] = {
        {"not an answer", "ZRVB", "not an answer"},
        {"another version", Stream().Bytes("ZRVA").U8(2).str(), "another version"},
        {"an unknown answer", Stream().Bytes("ZRVA").U8(1).U8('X').str(),
         "an unknown kind of answer"},
        {"no sheet", Stream().Bytes("ZRVA").U8(1).U8('W').U32(0).U32(0).str(), "no such sheet"},
        {"active sheet past the last", Stream().Workbook(1, 1).str(), "no such sheet"},
        {"too many sheets", Stream().Workbook(kMaxSheets + 1).str(),
         "more sheets than the limits allow"},
        {"a text of 4 GiB", Stream().Bytes("ZRVA").U8(1).U8('W').U32(1).U32(0).U32(~0u).str(),
         "more text than the limits allow"},
        {"too many cells", Stream().Workbook().U32(kMaxCells + 1).str(),
         "more cells than the limits allow"},
        {"active cell outside the sheet",
         Stream().Bytes("ZRVA").U8(1).U8('W').U32(1).U32(0).Text("S").U32(0).U32(1).str(),
         "a cell outside the sheet"},
        {"row past the last", cell(Stream().Workbook(), kMaxRows + 1, 1, number).str(),
         "a cell outside the sheet"},
        {"column past the last", cell(Stream().Workbook(), 1, kMaxColumns + 1, number).str(),
         "a cell outside the sheet"},
        {"cells out of order",
         Stream().Workbook().U32(2).U32(2).U32(1).U8(number).F64(1).U32(1).U32(9).str(),
         "cells out of order"},
        {"the same cell twice",
         Stream().Workbook().U32(2).U32(1).U32(1).U8(number).F64(1).U32(1).U32(1).str(),
         "cells out of order"},
        {"an empty cell", cell(Stream().Workbook(), 1, 1, 0).str(), "an unknown kind of cell"},
        {"an unknown kind", cell(Stream().Workbook(), 1, 1, 200).str(), "an unknown kind of cell"},
        {"an empty text", cell(Stream().Workbook(), 1, 1, text).Text("").str(),
         "an empty text cell"},
        {"text not UTF-8", cell(Stream().Workbook(), 1, 1, text).Text("caf\xE9").str(),
         "a text that is not UTF-8"},
        {"a number that is not finite",
         cell(Stream().Workbook(), 1, 1, number).F64(std::nan("")).str(),
         "a number that is not finite"},
        {"a truth value of 2", cell(Stream().Workbook(), 1, 1, boolean).U8(2).str(),
         "a truth value that is neither 0 nor 1"},
        {"row heights out of order",
         Stream().Workbook().U32(0).U32(2).U32(5).F64(1).U32(5).F64(2).str(),
         "row heights or widths out of order"},
        {"a negative width", Stream().Workbook().U32(0).U32(0).U32(1).U32(3).F64(-1).str(),
         "a row height or width that is not a size"},
        {"too many row heights", Stream().Workbook().U32(0).U32(kMaxRows + 1).str(),
         "more row heights or widths than the limits allow"},
        {"a reason of two lines",
         Stream().Bytes("ZRVA").U8(1).U8('F').Text("a\nb").Bytes("END.").str(),
         "a reason that is not one line"},
        {"no end mark", Stream().Workbook().U32(0).U32(0).U32(0).Bytes("END!").str(),
         "no end mark"},
        {"bytes after the end", EncodeFailureAnswer("r") + "x", "bytes after the end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            Decode(c.bytes);
            ADD_FAILURE() << "decoded";
        } catch (const CReadError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "the reader's answer is damaged (" + c.reason + ")");
        }
    }
}

// Layout entries count over every sheet, as the builder counts them.
TEST(WorkbookStream, layoutEntries_areLimitedAcrossSheets)
{
    CWorkbookBuilder builder;
    const std::size_t first = builder.AddSheet("a");
    const std::size_t second = builder.AddSheet("b");
    for (uint32_t row = 1; row <= kMaxLayoutEntries / 2; ++row)
        builder.SetRowHeight(first, row, 20);
    for (uint32_t column = 1; column <= kMaxColumns; ++column)
        builder.SetColumnWidth(first, column, 10); // replaced below, counted once
    for (uint32_t row = 1; row <= kMaxLayoutEntries / 2 - kMaxColumns; ++row)
        builder.SetRowHeight(second, row, 20);
    builder.SetColumnWidth(first, 1, 12); // an existing entry is changed, not added
    EXPECT_THROW(builder.SetRowHeight(second, kMaxRows, 1), CReadError);
    const WorkbookData workbook = builder.Take();
    EXPECT_EQ(workbook.sheets[0].columnWidths.at(1), 12);
    EXPECT_EQ(workbook.sheets[1].rowHeights.count(kMaxRows), 0u);
    EXPECT_TRUE(Decode(EncodeWorkbookAnswer(workbook)).read);
}

} // namespace
} // namespace zrv::sheet
