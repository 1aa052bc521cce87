#include "sheet/automation/CSelection.h"

#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/model/LayoutLimits.h"

namespace zrv::sheet {

const CSelection::Member CSelection::kMembers[] = {
    Member::Property(u"ColumnWidth", DISPID_XL_COLUMN_WIDTH, &CSelection::GetColumnWidth,
                     &CSelection::PutColumnWidth),
};

CSelection::CSelection(CWorkbookHold hold, size_t sheet) : CSheetObject(std::move(hold), sheet) {}

void CSelection::GetColumnWidth(CDispatchCall& call)
{
    const CWorkbookModel& book = Book();
    call.ReturnDouble(book.ColumnWidth(Sheet(), book.SelectedColumns(Sheet()).first));
}

void CSelection::PutColumnWidth(CDispatchCall& call)
{
    CWorkbookModel& book = Book();
    const double width = CheckedColumnWidth(call.PutDouble());
    const auto [first, last] = book.SelectedColumns(Sheet());
    for (uint32_t column = first; column <= last; ++column)
        book.SetColumnWidth(Sheet(), column, width);
}

} // namespace zrv::sheet
