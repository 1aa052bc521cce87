#include "desktop/ShellExecute.h"

#include "desktop/ShellOpener.h"

namespace zrv::desktop {

namespace {

IShellExecutor* g_executor = nullptr;

IShellExecutor& Executor()
{
    static ProcessLauncher launcher;
    static ShellOpener real(launcher);
    return g_executor ? *g_executor : real;
}

QString FromAnsi(LPCSTR text)
{
    return text ? QString::fromLocal8Bit(text) : QString();
}

} // namespace

void SetShellExecutor(IShellExecutor* executor)
{
    g_executor = executor;
}

IShellExecutor* ShellExecutor()
{
    return g_executor;
}

HINSTANCE ShellExecuteA(HWND hWnd, LPCSTR lpVerb, LPCSTR lpFile, LPCSTR lpParameters,
                        LPCSTR lpDirectory, int nShowCmd)
{
    const ShellRequest request{
        hWnd,    FromAnsi(lpVerb), FromAnsi(lpFile), FromAnsi(lpParameters), FromAnsi(lpDirectory),
        nShowCmd};
    return Executor().Execute(request);
}

} // namespace zrv::desktop
