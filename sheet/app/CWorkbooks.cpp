#include "sheet/app/CWorkbooks.h"

#include "sheet/app/CWorkbook.h"
#include "sheet/automation/SheetDispatchIds.h"

namespace zrv::sheet {

const DispatchMember<CWorkbooks> CWorkbooks::kMembers[] = {
    {u"Add", DISPID_XL_ADD, &CWorkbooks::Add, nullptr},
    {u"Open", DISPID_XL_OPEN, &CWorkbooks::Open, nullptr},
    {u"Count", DISPID_XL_COUNT, &CWorkbooks::GetCount, nullptr},
};

CWorkbooks::CWorkbooks(std::shared_ptr<CWorkspace> workspace) : m_workspace(std::move(workspace)) {}

void CWorkbooks::Add(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnObject(MakeDispatch<CWorkbook>(CBookHold(m_workspace, m_workspace->AddBook())));
}

void CWorkbooks::Open(CDispatchCall& call)
{
    call.ExpectArgs(1, 1);
    const std::u16string path = call.TextArg(0);
    call.ReturnObject(MakeDispatch<CWorkbook>(CBookHold(m_workspace, m_workspace->OpenBook(path))));
}

void CWorkbooks::GetCount(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnLong(static_cast<LONG>(m_workspace->BookCount()));
}

} // namespace zrv::sheet
