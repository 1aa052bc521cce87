#include "sheet/app/CWorkbook.h"

#include "sheet/app/CWorksheet.h"

namespace zrv::sheet {

const DispatchMember<CWorkbook> CWorkbook::kMembers[] = {
    {u"Close", 277, &CWorkbook::Close, nullptr},
    {u"ActiveSheet", 307, &CWorkbook::GetActiveSheet, nullptr},
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
