#include "sheet/automation/CWorksheet.h"

#include "sheet/automation/CColumn.h"
#include "sheet/automation/CRange.h"
#include "sheet/automation/CRow.h"
#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/model/CellAddress.h"
#include "sheet/model/DispatchError.h"
#include "sheet/model/WideText.h"

namespace zrv::sheet {

const CWorksheet::Member CWorksheet::kMembers[] = {
    Member::Method(u"Range", DISPID_XL_RANGE, &CWorksheet::Range, 1),
    Member::Method(u"Rows", DISPID_XL_ROWS, &CWorksheet::Rows, 1),
    Member::Method(u"Columns", DISPID_XL_COLUMNS, &CWorksheet::Columns, 1),
    Member::ReadOnly(u"Name", DISPID_XL_NAME, &CWorksheet::GetName),
};

namespace {

// A whole number argument, or the text of a number.
uint32_t IndexArgument(const CDispatchCall& call, uint32_t limit, const char* what)
{
    if (call.IsText(0)) {
        const std::u16string text = call.TextArg(0);
        const std::optional<uint32_t> row = ParseRowNumber(text);
        if (!row || *row > limit)
            Fail("'" + ToUtf8(text) + "' is not a " + what + " number.", E_INVALIDARG);
        return *row;
    }
    const LONG index = call.LongArg(0);
    if (index < 1 || static_cast<uint32_t>(index) > limit)
        Fail(std::to_string(index) + " is not a " + what + " number (1 to " +
                 std::to_string(limit) + ").",
             E_INVALIDARG);
    return static_cast<uint32_t>(index);
}

} // namespace

CWorksheet::CWorksheet(CWorkbookHold hold, size_t sheet) : CSheetObject(std::move(hold), sheet) {}

void CWorksheet::Range(CDispatchCall& call)
{
    Book();
    const std::u16string address = call.TextArg(0);
    const std::optional<CellRef> cell = ParseCellAddress(address);
    if (!cell)
        Fail("'" + ToUtf8(address) + "' is not the address of one cell (such as A1).",
             E_INVALIDARG);
    call.ReturnObject(MakeDispatch<CRange>(Hold(), Sheet(), *cell));
}

void CWorksheet::Rows(CDispatchCall& call)
{
    Book();
    call.ReturnObject(MakeDispatch<CRow>(Hold(), Sheet(), IndexArgument(call, kMaxRow, "row")));
}

void CWorksheet::Columns(CDispatchCall& call)
{
    Book();
    uint32_t column = 0;
    if (call.IsText(0)) {
        const std::u16string letters = call.TextArg(0);
        const std::optional<uint32_t> parsed = ParseColumnLetters(letters);
        if (!parsed)
            Fail("'" + ToUtf8(letters) + "' is not a column (A to XFD).", E_INVALIDARG);
        column = *parsed;
    } else {
        column = IndexArgument(call, kMaxColumn, "column");
    }
    call.ReturnObject(MakeDispatch<CColumn>(Hold(), Sheet(), column));
}

void CWorksheet::GetName(CDispatchCall& call)
{
    call.ReturnBstr(AllocUtf8(Book().Data().sheets.at(Sheet()).name));
}

} // namespace zrv::sheet
