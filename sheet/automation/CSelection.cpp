#include "sheet/automation/CSelection.h"

#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/model/LayoutLimits.h"

namespace zrv::sheet {

const CSelection::Member CSelection::kMembers[] = {
    Member::Property(u"ColumnWidth", DISPID_XL_COLUMN_WIDTH, &CSelection::GetColumnWidth,
                     &CSelection::PutColumnWidth),
};

CSelection::CSelection(CWorkbookHold hold, size_t sheet) : m_hold(std::move(hold)), m_sheet(sheet)
{}

void CSelection::GetColumnWidth(CDispatchCall& call)
{
    const CWorkbookModel& book = m_hold.Book();
    call.ReturnDouble(book.ColumnWidth(m_sheet, book.SelectedColumns(m_sheet).first));
}

void CSelection::PutColumnWidth(CDispatchCall& call)
{
    CWorkbookModel& book = m_hold.Book();
    const double width = CheckedColumnWidth(call.PutDouble());
    const auto [first, last] = book.SelectedColumns(m_sheet);
    for (uint32_t column = first; column <= last; ++column)
        book.SetColumnWidth(m_sheet, column, width);
}

} // namespace zrv::sheet
