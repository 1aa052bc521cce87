#include "sheet/app/CRow.h"

#include "sheet/app/LayoutLimits.h"
#include "sheet/automation/SheetDispatchIds.h"

namespace zrv::sheet {

const DispatchMember<CRow> CRow::kMembers[] = {
    {u"RowHeight", DISPID_XL_ROW_HEIGHT, &CRow::GetRowHeight, &CRow::PutRowHeight},
};

CRow::CRow(CBookHold hold, size_t sheet, uint32_t row)
    : m_hold(std::move(hold)), m_sheet(sheet), m_row(row)
{}

void CRow::GetRowHeight(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnDouble(m_hold.Book().RowHeight(m_sheet, m_row));
}

void CRow::PutRowHeight(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    CBook& book = m_hold.Book();
    book.SetRowHeight(m_sheet, m_row, CheckedRowHeight(call.PutDouble()));
}

} // namespace zrv::sheet
