#include "sheet/model/CWorkbookHold.h"

#include "sheet/model/CWorkspace.h"
#include "sheet/model/DispatchError.h"

namespace zrv::sheet {

CWorkbookHold::CWorkbookHold(std::shared_ptr<CWorkspace> workspace,
                             std::shared_ptr<CWorkbookModel> book)
    : m_workspace(std::move(workspace)), m_book(std::move(book))
{
    m_book->AddHold();
}

CWorkbookHold::CWorkbookHold(const CWorkbookHold& other)
    : CWorkbookHold(other.m_workspace, other.m_book)
{}

CWorkbookHold::~CWorkbookHold()
{
    if (m_book->DropHold())
        m_workspace->HoldsReleased(*m_book);
}

CWorkbookModel& CWorkbookHold::Book() const
{
    if (m_book->IsClosed())
        Fail("The workbook has been closed.");
    return *m_book;
}

} // namespace zrv::sheet
