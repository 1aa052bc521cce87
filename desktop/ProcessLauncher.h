#pragma once

#include <chrono>
#include <optional>
#include <QString>
#include <QStringList>

namespace zrv::desktop {

struct LaunchResult {
    int error = 0;               // errno of a start that failed; 0 when it started
    std::optional<int> exitCode; // set when the program ended within the wait
};

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts program (a path, or a name looked up in PATH) and waits at most
    // `wait` for it to end. An empty folder keeps the current one.
    virtual LaunchResult Start(const QString& program, const QStringList& arguments,
                               const QString& folder, std::chrono::milliseconds wait) = 0;
};

// Starts real processes. A program still running after the wait is left to
// run; it is reaped by a later start.
class ProcessLauncher final : public IProcessLauncher {
public:
    LaunchResult Start(const QString& program, const QStringList& arguments, const QString& folder,
                       std::chrono::milliseconds wait) override;
};

} // namespace zrv::desktop
