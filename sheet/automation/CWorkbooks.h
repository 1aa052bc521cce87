#pragma once

// The collection of open workbooks: Add, Open, Count.

#include "sheet/automation/CAutomationObject.h"
#include "sheet/model/CWorkbookHold.h"
#include "sheet/model/CWorkspace.h"

#include <memory>

namespace zrv::sheet {

class CWorkbooks final : public CDispatchObject<CWorkbooks> {
public:
    static const Member kMembers[];

    explicit CWorkbooks(std::shared_ptr<CWorkspace> workspace);

private:
    ~CWorkbooks() override = default;

    void Add(CDispatchCall& call);
    void Open(CDispatchCall& call);
    void GetCount(CDispatchCall& call);

    std::shared_ptr<CWorkspace> m_workspace;
};

} // namespace zrv::sheet
