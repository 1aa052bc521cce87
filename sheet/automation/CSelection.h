#pragma once

// What is selected on a sheet at the time of each call: ColumnWidth sets the
// width of every column the selection covers.

#include "sheet/automation/CSheetObject.h"
#include "sheet/model/CWorkspace.h"

namespace zrv::sheet {

class CSelection final : public CSheetObject<CSelection> {
public:
    static const Member kMembers[];

    CSelection(CWorkbookHold hold, size_t sheet);

private:
    ~CSelection() override = default;

    void GetColumnWidth(CDispatchCall& call);
    void PutColumnWidth(CDispatchCall& call);
};

} // namespace zrv::sheet
