#include "tests/support/ScriptedShell.h"

#include <gtest/gtest.h>

namespace zrv::test {

ScriptedShell::ScriptedShell() : m_previous(desktop::ShellExecutor())
{
    desktop::SetShellExecutor(this);
}

ScriptedShell::~ScriptedShell()
{
    desktop::SetShellExecutor(m_previous);
    if (!m_results.empty())
        ADD_FAILURE() << m_results.size() << " shell request(s) were expected but never made";
}

void ScriptedShell::expectShell(desktop::HINSTANCE result)
{
    m_results.push_back(result);
}

desktop::HINSTANCE ScriptedShell::Execute(const desktop::ShellRequest& request)
{
    m_requests.push_back(request);
    if (m_results.empty()) {
        ADD_FAILURE() << "Unexpected shell request: " << request.verb.toStdString() << " "
                      << request.file.toStdString();
        return desktop::SE_ERR_NOASSOC;
    }
    const desktop::HINSTANCE result = m_results.front();
    m_results.pop_front();
    return result;
}

} // namespace zrv::test
