#include "sheet/automation/CRow.h"

#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/model/LayoutLimits.h"

namespace zrv::sheet {

const CRow::Member CRow::kMembers[] = {
    Member::Property(u"RowHeight", DISPID_XL_ROW_HEIGHT, &CRow::GetRowHeight, &CRow::PutRowHeight),
};

CRow::CRow(CWorkbookHold hold, size_t sheet, uint32_t row)
    : CSheetObject(std::move(hold), sheet), m_row(row)
{}

void CRow::GetRowHeight(CDispatchCall& call)
{
    call.ReturnDouble(Book().RowHeight(Sheet(), m_row));
}

void CRow::PutRowHeight(CDispatchCall& call)
{
    CWorkbookModel& book = Book();
    book.SetRowHeight(Sheet(), m_row, CheckedRowHeight(call.PutDouble()));
}

} // namespace zrv::sheet
