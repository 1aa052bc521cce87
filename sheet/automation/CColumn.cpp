#include "sheet/automation/CColumn.h"

#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/model/LayoutLimits.h"

namespace zrv::sheet {

const CColumn::Member CColumn::kMembers[] = {
    Member::Method(u"Select", DISPID_XL_SELECT, &CColumn::Select),
    Member::Property(u"ColumnWidth", DISPID_XL_COLUMN_WIDTH, &CColumn::GetColumnWidth,
                     &CColumn::PutColumnWidth),
};

CColumn::CColumn(CWorkbookHold hold, size_t sheet, uint32_t column)
    : CSheetObject(std::move(hold), sheet), m_column(column)
{}

void CColumn::Select(CDispatchCall& call)
{
    Book().SelectColumns(Sheet(), m_column, m_column);
    call.ReturnBool(true);
}

void CColumn::GetColumnWidth(CDispatchCall& call)
{
    call.ReturnDouble(Book().ColumnWidth(Sheet(), m_column));
}

void CColumn::PutColumnWidth(CDispatchCall& call)
{
    CWorkbookModel& book = Book();
    book.SetColumnWidth(Sheet(), m_column, CheckedColumnWidth(call.PutDouble()));
}

} // namespace zrv::sheet
