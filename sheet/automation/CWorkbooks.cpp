#include "sheet/automation/CWorkbooks.h"

#include "sheet/automation/CWorkbook.h"
#include "sheet/automation/SheetDispatchIds.h"

namespace zrv::sheet {

const CWorkbooks::Member CWorkbooks::kMembers[] = {
    Member::Method(u"Add", DISPID_XL_ADD, &CWorkbooks::Add),
    Member::Method(u"Open", DISPID_XL_OPEN, &CWorkbooks::Open, 1),
    Member::ReadOnly(u"Count", DISPID_XL_COUNT, &CWorkbooks::GetCount),
};

CWorkbooks::CWorkbooks(std::shared_ptr<CWorkspace> workspace) : m_workspace(std::move(workspace)) {}

void CWorkbooks::Add(CDispatchCall& call)
{
    call.ReturnObject(MakeDispatch<CWorkbook>(CWorkbookHold(m_workspace, m_workspace->AddBook())));
}

void CWorkbooks::Open(CDispatchCall& call)
{
    const std::u16string path = call.TextArg(0);
    call.ReturnObject(
        MakeDispatch<CWorkbook>(CWorkbookHold(m_workspace, m_workspace->OpenBook(path))));
}

void CWorkbooks::GetCount(CDispatchCall& call)
{
    call.ReturnLong(static_cast<LONG>(m_workspace->BookCount()));
}

} // namespace zrv::sheet
