#pragma once

// One open workbook: Close discards it, ActiveSheet gives its active sheet.

#include "sheet/app/CAutomationObject.h"
#include "sheet/app/CWorkspace.h"

namespace zrv::sheet {

class CWorkbook final : public CDispatchObject<CWorkbook> {
public:
    static const DispatchMember<CWorkbook> kMembers[];

    explicit CWorkbook(CBookHold hold);

private:
    ~CWorkbook() override = default;

    void Close(CDispatchCall& call);
    void GetActiveSheet(CDispatchCall& call);

    CBookHold m_hold;
};

} // namespace zrv::sheet
