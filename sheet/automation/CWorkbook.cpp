#include "sheet/automation/CWorkbook.h"

#include "sheet/automation/CWorksheet.h"
#include "sheet/automation/SheetDispatchIds.h"

namespace zrv::sheet {

const CWorkbook::Member CWorkbook::kMembers[] = {
    Member::Method(u"Close", DISPID_XL_CLOSE, &CWorkbook::Close),
    Member::ReadOnly(u"ActiveSheet", DISPID_XL_ACTIVE_SHEET, &CWorkbook::GetActiveSheet),
};

CWorkbook::CWorkbook(CWorkbookHold hold) : m_hold(std::move(hold)) {}

void CWorkbook::Close(CDispatchCall&)
{
    m_hold.Workspace().CloseBook(m_hold.Book());
}

void CWorkbook::GetActiveSheet(CDispatchCall& call)
{
    call.ReturnObject(MakeDispatch<CWorksheet>(m_hold, m_hold.Book().ActiveSheet()));
}

} // namespace zrv::sheet
