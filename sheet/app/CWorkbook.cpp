#include "sheet/app/CWorkbook.h"

#include "sheet/app/CWorksheet.h"
#include "sheet/automation/SheetDispatchIds.h"

namespace zrv::sheet {

const DispatchMember<CWorkbook> CWorkbook::kMembers[] = {
    {u"Close", DISPID_XL_CLOSE, &CWorkbook::Close, nullptr},
    {u"ActiveSheet", DISPID_XL_ACTIVE_SHEET, &CWorkbook::GetActiveSheet, nullptr},
};

CWorkbook::CWorkbook(CBookHold hold) : m_hold(std::move(hold)) {}

void CWorkbook::Close(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    m_hold.Workspace().CloseBook(m_hold.Book());
}

void CWorkbook::GetActiveSheet(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnObject(MakeDispatch<CWorksheet>(m_hold, m_hold.Book().ActiveSheet()));
}

} // namespace zrv::sheet
