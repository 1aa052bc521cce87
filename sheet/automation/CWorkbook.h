#pragma once

// One open workbook: Close discards it, ActiveSheet gives its active sheet.

#include "sheet/automation/CAutomationObject.h"
#include "sheet/model/CWorkbookHold.h"
#include "sheet/model/CWorkspace.h"

namespace zrv::sheet {

class CWorkbook final : public CDispatchObject<CWorkbook> {
public:
    static const Member kMembers[];

    explicit CWorkbook(CWorkbookHold hold);

private:
    ~CWorkbook() override = default;

    void Close(CDispatchCall& call);
    void GetActiveSheet(CDispatchCall& call);

    CWorkbookHold m_hold;
};

} // namespace zrv::sheet
