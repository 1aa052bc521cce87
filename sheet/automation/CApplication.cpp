#include "sheet/automation/CApplication.h"

#include "sheet/automation/CSelection.h"
#include "sheet/automation/CWorkbooks.h"
#include "sheet/automation/CWorksheet.h"
#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/process/SheetLogging.h"

#include <new>
#include <sys/utsname.h>

namespace zrv::sheet {

const CApplication::Member CApplication::kMembers[] = {
    Member::Property(u"SheetsInNewWorkbook", DISPID_XL_SHEETS_IN_NEW_WORKBOOK,
                     &CApplication::GetSheetsInNewWorkbook, &CApplication::PutSheetsInNewWorkbook),
    Member::Property(u"ScreenUpdating", DISPID_XL_SCREEN_UPDATING, &CApplication::GetScreenUpdating,
                     &CApplication::PutScreenUpdating),
    Member::Property(u"Interactive", DISPID_XL_INTERACTIVE, &CApplication::GetInteractive,
                     &CApplication::PutInteractive),
    Member::Property(u"Visible", DISPID_XL_VISIBLE, &CApplication::GetVisible,
                     &CApplication::PutVisible),
    Member::ReadOnly(u"OperatingSystem", DISPID_XL_OPERATING_SYSTEM,
                     &CApplication::GetOperatingSystem),
    Member::ReadOnly(u"Workbooks", DISPID_XL_WORKBOOKS, &CApplication::GetWorkbooks),
    Member::ReadOnly(u"ActiveSheet", DISPID_XL_ACTIVE_SHEET, &CApplication::GetActiveSheet),
    Member::ReadOnly(u"Selection", DISPID_XL_SELECTION, &CApplication::GetSelection),
};

HRESULT CApplication::CreateInstance(IUnknown* outer, const IID& iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    try {
        return MakeDispatch<CApplication>()->QueryInterface(iid, ppv);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

CApplication::CApplication() : m_workspace(std::make_shared<CWorkspace>()) {}

CApplication::~CApplication()
{
    m_workspace->ApplicationReleased();
}

void CApplication::GetSheetsInNewWorkbook(CDispatchCall& call)
{
    call.ReturnLong(m_workspace->SheetsInNewWorkbook());
}

void CApplication::PutSheetsInNewWorkbook(CDispatchCall& call)
{
    m_workspace->SetSheetsInNewWorkbook(call.PutLong());
}

void CApplication::GetScreenUpdating(CDispatchCall& call)
{
    call.ReturnBool(m_workspace->ScreenUpdating);
}

void CApplication::PutScreenUpdating(CDispatchCall& call)
{
    m_workspace->ScreenUpdating = call.PutBool();
}

void CApplication::GetInteractive(CDispatchCall& call)
{
    call.ReturnBool(m_workspace->Interactive);
}

void CApplication::PutInteractive(CDispatchCall& call)
{
    m_workspace->Interactive = call.PutBool();
}

void CApplication::GetVisible(CDispatchCall& call)
{
    call.ReturnBool(m_workspace->Visible());
}

void CApplication::PutVisible(CDispatchCall& call)
{
    m_workspace->SetVisible(call.PutBool());
}

void CApplication::GetOperatingSystem(CDispatchCall& call)
{
    utsname name{};
    std::u16string text = u"Linux";
    if (uname(&name) == 0) {
        text += u' ';
        for (const char* c = name.release; *c; ++c)
            text += static_cast<char16_t>(static_cast<unsigned char>(*c));
    }
    call.ReturnText(text);
}

void CApplication::GetWorkbooks(CDispatchCall& call)
{
    call.ReturnObject(MakeDispatch<CWorkbooks>(m_workspace));
}

void CApplication::GetActiveSheet(CDispatchCall& call)
{
    const std::shared_ptr<CWorkbookModel> book = m_workspace->ActiveBook();
    call.ReturnObject(
        MakeDispatch<CWorksheet>(CWorkbookHold(m_workspace, book), book->ActiveSheet()));
}

void CApplication::GetSelection(CDispatchCall& call)
{
    const std::shared_ptr<CWorkbookModel> book = m_workspace->ActiveBook();
    call.ReturnObject(
        MakeDispatch<CSelection>(CWorkbookHold(m_workspace, book), book->ActiveSheet()));
}

} // namespace zrv::sheet
