#pragma once

// One column of a sheet: Select makes it the selection; ColumnWidth in
// characters (0 to 255).

#include "sheet/automation/CSheetObject.h"
#include "sheet/model/CWorkspace.h"

namespace zrv::sheet {

class CColumn final : public CSheetObject<CColumn> {
public:
    static const Member kMembers[];

    CColumn(CWorkbookHold hold, size_t sheet, uint32_t column);

private:
    ~CColumn() override = default;

    void Select(CDispatchCall& call);
    void GetColumnWidth(CDispatchCall& call);
    void PutColumnWidth(CDispatchCall& call);

    uint32_t m_column;
};

} // namespace zrv::sheet
