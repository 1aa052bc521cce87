#pragma once

// One sheet of a workbook: Range (one cell), Rows (a row number) and
// Columns (column letters or number).

#include "sheet/app/CAutomationObject.h"
#include "sheet/app/CWorkspace.h"

namespace zrv::sheet {

class CWorksheet final : public CDispatchObject<CWorksheet> {
public:
    static const DispatchMember<CWorksheet> kMembers[];

    CWorksheet(CBookHold hold, size_t sheet);

private:
    ~CWorksheet() override = default;

    void Range(CDispatchCall& call);
    void Rows(CDispatchCall& call);
    void Columns(CDispatchCall& call);
    void GetName(CDispatchCall& call);

    CBookHold m_hold;
    size_t m_sheet;
};

} // namespace zrv::sheet
