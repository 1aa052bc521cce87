#include "sheet/automation/CRow.h"

#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/model/LayoutLimits.h"

namespace zrv::sheet {

const CRow::Member CRow::kMembers[] = {
    Member::Property(u"RowHeight", DISPID_XL_ROW_HEIGHT, &CRow::GetRowHeight, &CRow::PutRowHeight),
};

CRow::CRow(CWorkbookHold hold, size_t sheet, uint32_t row)
    : m_hold(std::move(hold)), m_sheet(sheet), m_row(row)
{}

void CRow::GetRowHeight(CDispatchCall& call)
{
    call.ReturnDouble(m_hold.Book().RowHeight(m_sheet, m_row));
}

void CRow::PutRowHeight(CDispatchCall& call)
{
    CWorkbookModel& book = m_hold.Book();
    book.SetRowHeight(m_sheet, m_row, CheckedRowHeight(call.PutDouble()));
}

} // namespace zrv::sheet
