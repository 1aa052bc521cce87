#pragma once

#include "desktop/ShellExecute.h"

#include <deque>
#include <vector>

namespace zrv::test {

// Stands in for the shell opener in a test: records every request and
// answers it with the next queued result, starting nothing. A request with no
// result queued fails the test and gets SE_ERR_NOASSOC; queued results left at
// the end fail it too.
class ScriptedShell final : public desktop::IShellExecutor {
public:
    ScriptedShell();
    ~ScriptedShell() override;
    ScriptedShell(const ScriptedShell&) = delete;
    ScriptedShell& operator=(const ScriptedShell&) = delete;

    void expectShell(desktop::HINSTANCE result);
    const std::vector<desktop::ShellRequest>& requests() const { return m_requests; }

    desktop::HINSTANCE Execute(const desktop::ShellRequest& request) override;

private:
    std::deque<desktop::HINSTANCE> m_results;
    std::vector<desktop::ShellRequest> m_requests;
    desktop::IShellExecutor* m_previous;
};

} // namespace zrv::test
