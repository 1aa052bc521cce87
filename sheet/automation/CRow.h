#pragma once

// One row of a sheet: RowHeight in points (0 to 409).

#include "sheet/automation/CSheetObject.h"
#include "sheet/model/CWorkspace.h"

namespace zrv::sheet {

class CRow final : public CSheetObject<CRow> {
public:
    static const Member kMembers[];

    CRow(CWorkbookHold hold, size_t sheet, uint32_t row);

private:
    ~CRow() override = default;

    void GetRowHeight(CDispatchCall& call);
    void PutRowHeight(CDispatchCall& call);

    uint32_t m_row;
};

} // namespace zrv::sheet
