#include "sheet/app/CApplication.h"

#include "sheet/app/CSelection.h"
#include "sheet/app/CWorkbooks.h"
#include "sheet/app/CWorksheet.h"
#include "sheet/app/SheetLogging.h"
#include "sheet/automation/SheetDispatchIds.h"

#include <sys/utsname.h>

namespace zrv::sheet {

const DispatchMember<CApplication> CApplication::kMembers[] = {
    {u"SheetsInNewWorkbook", DISPID_XL_SHEETS_IN_NEW_WORKBOOK,
     &CApplication::GetSheetsInNewWorkbook, &CApplication::PutSheetsInNewWorkbook},
    {u"ScreenUpdating", DISPID_XL_SCREEN_UPDATING, &CApplication::GetScreenUpdating,
     &CApplication::PutScreenUpdating},
    {u"Interactive", DISPID_XL_INTERACTIVE, &CApplication::GetInteractive,
     &CApplication::PutInteractive},
    {u"Visible", DISPID_XL_VISIBLE, &CApplication::GetVisible, &CApplication::PutVisible},
    {u"OperatingSystem", DISPID_XL_OPERATING_SYSTEM, &CApplication::GetOperatingSystem, nullptr},
    {u"Workbooks", DISPID_XL_WORKBOOKS, &CApplication::GetWorkbooks, nullptr},
    {u"ActiveSheet", DISPID_XL_ACTIVE_SHEET, &CApplication::GetActiveSheet, nullptr},
    {u"Selection", DISPID_XL_SELECTION, &CApplication::GetSelection, nullptr},
};

ComPtr<IDispatch> CApplication::Create()
{
    return MakeDispatch<CApplication>();
}

CApplication::CApplication() : m_workspace(std::make_shared<CWorkspace>()) {}

CApplication::~CApplication()
{
    m_workspace->ApplicationReleased();
}

void CApplication::GetSheetsInNewWorkbook(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnLong(m_workspace->SheetsInNewWorkbook());
}

void CApplication::PutSheetsInNewWorkbook(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    m_workspace->SetSheetsInNewWorkbook(call.PutLong());
}

void CApplication::GetScreenUpdating(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnBool(m_workspace->ScreenUpdating);
}

void CApplication::PutScreenUpdating(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    m_workspace->ScreenUpdating = call.PutBool();
}

void CApplication::GetInteractive(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnBool(m_workspace->Interactive);
}

void CApplication::PutInteractive(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    m_workspace->Interactive = call.PutBool();
}

void CApplication::GetVisible(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    call.ReturnBool(m_workspace->Visible());
}

void CApplication::PutVisible(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    m_workspace->SetVisible(call.PutBool());
}

void CApplication::GetOperatingSystem(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
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
    call.ExpectArgs(0, 0);
    call.ReturnObject(MakeDispatch<CWorkbooks>(m_workspace));
}

void CApplication::GetActiveSheet(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    const std::shared_ptr<CBook> book = m_workspace->ActiveBook();
    call.ReturnObject(MakeDispatch<CWorksheet>(CBookHold(m_workspace, book), book->ActiveSheet()));
}

void CApplication::GetSelection(CDispatchCall& call)
{
    call.ExpectArgs(0, 0);
    const std::shared_ptr<CBook> book = m_workspace->ActiveBook();
    call.ReturnObject(MakeDispatch<CSelection>(CBookHold(m_workspace, book), book->ActiveSheet()));
}

} // namespace zrv::sheet
