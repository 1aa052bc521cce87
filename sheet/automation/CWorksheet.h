#pragma once

// One sheet of a workbook: Range (one cell), Rows (a row number) and
// Columns (column letters or number).

#include "sheet/automation/CSheetObject.h"
#include "sheet/model/CWorkspace.h"

namespace zrv::sheet {

class CWorksheet final : public CSheetObject<CWorksheet> {
public:
    static const Member kMembers[];

    CWorksheet(CWorkbookHold hold, size_t sheet);

private:
    ~CWorksheet() override = default;

    void Range(CDispatchCall& call);
    void Rows(CDispatchCall& call);
    void Columns(CDispatchCall& call);
    void GetName(CDispatchCall& call);
};

} // namespace zrv::sheet
