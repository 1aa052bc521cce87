#pragma once

#include "desktop/ProcessLauncher.h"
#include "desktop/ShellExecute.h"

#include <chrono>

namespace zrv::desktop {

// Carries out shell requests: a web address, a folder or a document goes to
// the desktop's opener, an executable file starts with its parameters. Only
// the verbs "open" (also the empty verb) and "explore" are known. Whatever
// fails inside ends in a shell result; the reason goes to the zrv.desktop log.
class ShellOpener final : public IShellExecutor {
public:
    explicit ShellOpener(IProcessLauncher& launcher);

    HINSTANCE Execute(const ShellRequest& request) override;

    // How long the desktop's opener may take before it counts as started.
    static constexpr std::chrono::milliseconds kOpenerWait{2000};

private:
    HINSTANCE Carry(const ShellRequest& request);
    HINSTANCE OpenWithDesktop(const QString& target);
    HINSTANCE StartProgram(const QString& program, const ShellRequest& request);

    IProcessLauncher& m_launcher;
};

} // namespace zrv::desktop
