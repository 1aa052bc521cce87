#pragma once

// The application object ("Excel.Application"). Releasing it shows the
// workbooks of a visible application that are waiting to be shown.

#include "sheet/automation/CAutomationObject.h"
#include "sheet/model/CWorkbookHold.h"
#include "sheet/model/CWorkspace.h"

#include <memory>

namespace zrv::sheet {

class CApplication final : public CDispatchObject<CApplication> {
public:
    // The class factory's CreateInstance: a new, invisible application with
    // no workbooks. No aggregation.
    static HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** ppv);

    static const Member kMembers[];

    CApplication();

private:
    ~CApplication() override;

    void GetSheetsInNewWorkbook(CDispatchCall& call);
    void PutSheetsInNewWorkbook(CDispatchCall& call);
    void GetScreenUpdating(CDispatchCall& call);
    void PutScreenUpdating(CDispatchCall& call);
    void GetInteractive(CDispatchCall& call);
    void PutInteractive(CDispatchCall& call);
    void GetVisible(CDispatchCall& call);
    void PutVisible(CDispatchCall& call);
    void GetOperatingSystem(CDispatchCall& call);
    void GetWorkbooks(CDispatchCall& call);
    void GetActiveSheet(CDispatchCall& call);
    void GetSelection(CDispatchCall& call);

    std::shared_ptr<CWorkspace> m_workspace;
};

} // namespace zrv::sheet
