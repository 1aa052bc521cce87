#include "engine/Diagnostic.h"

#include <atomic>
#include <cstring>
#include <string>

namespace zrv {

namespace {

std::atomic<DiagnosticHook> g_diagnosticHook{nullptr};

} // namespace

void SetDiagnosticHook(DiagnosticHook hook)
{
    g_diagnosticHook.store(hook);
}

void Diagnose(std::string_view what, std::string_view path, std::string_view reason)
{
    const DiagnosticHook hook = g_diagnosticHook.load();
    if (!hook)
        return;
    std::string message(what);
    if (!path.empty())
        message.append(" (").append(path).append(")");
    message.append(": ").append(reason);
    try {
        hook(message.c_str());
    } catch (...) {
        // The hook is the log itself: there is nowhere left to report its failure.
    }
}

void DiagnoseErrno(std::string_view what, std::string_view path, int error)
{
    if (g_diagnosticHook.load())
        Diagnose(what, path, std::strerror(error));
}

} // namespace zrv
