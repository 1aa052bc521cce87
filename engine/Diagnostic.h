#pragma once

#include <string_view>

namespace zrv {

// Receives one line for each failure that the engine passes over quietly: a
// rewrite refused, an archive that did not open, a folder lock not taken, a
// temporary file left behind. What the operation's caller sees is unchanged.
using DiagnosticHook = void (*)(const char* message);

// Installs the hook for the whole process; null (the default) turns it off.
void SetDiagnosticHook(DiagnosticHook hook);

// Hands "what (path): reason" to the hook; nothing is built when none is set.
// A hook that throws is not let through: the contract stays quiet.
void Diagnose(std::string_view what, std::string_view path, std::string_view reason);
// The same with the text of an errno value as the reason.
void DiagnoseErrno(std::string_view what, std::string_view path, int error);

} // namespace zrv
