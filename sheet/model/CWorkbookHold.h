#pragma once

#include "sheet/model/CWorkbookModel.h"

#include <memory>

namespace zrv::sheet {

class CWorkspace;

// One object the caller holds inside a workbook: counts in the workbook's
// holds for as long as it lives. Members reach the workbook through it and
// fail once it is closed.
class CWorkbookHold final {
public:
    CWorkbookHold(std::shared_ptr<CWorkspace> workspace, std::shared_ptr<CWorkbookModel> book);
    ~CWorkbookHold();
    CWorkbookHold(const CWorkbookHold& other);
    CWorkbookHold& operator=(const CWorkbookHold&) = delete;

    CWorkbookModel& Book() const;
    CWorkspace& Workspace() const { return *m_workspace; }
    const std::shared_ptr<CWorkspace>& SharedWorkspace() const { return m_workspace; }
    const std::shared_ptr<CWorkbookModel>& SharedBook() const { return m_book; }

private:
    std::shared_ptr<CWorkspace> m_workspace;
    std::shared_ptr<CWorkbookModel> m_book;
};

} // namespace zrv::sheet
