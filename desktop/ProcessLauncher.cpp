#include "desktop/ProcessLauncher.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <QByteArray>
#include <QFile>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zrv::desktop {

namespace {

std::mutex g_runningMutex;
std::vector<pid_t> g_running; // started, not yet reaped

void ReapFinished()
{
    const std::lock_guard lock(g_runningMutex);
    std::erase_if(g_running, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

// The process's exit code once it ended, nullopt while it runs.
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 && errno != EINTR)
            return 0; // reaped elsewhere (SIGCHLD ignored): nothing more to learn
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Spawn file actions that set the child's working folder.
class SpawnActions final {
public:
    explicit SpawnActions(const QString& folder)
    {
        posix_spawn_file_actions_init(&m_actions);
        if (!folder.isEmpty())
            posix_spawn_file_actions_addchdir_np(&m_actions, QFile::encodeName(folder).constData());
    }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    const posix_spawn_file_actions_t* get() const { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions{};
};

} // namespace

LaunchResult ProcessLauncher::Start(const QString& program, const QStringList& arguments,
                                    const QString& folder, std::chrono::milliseconds wait)
{
    ReapFinished();
    std::vector<QByteArray> bytes{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    int error = 0;
    const SpawnActions actions(folder);
    error = posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ);
    if (error != 0)
        return {error, std::nullopt};
    const std::optional<int> exitCode = WaitFor(pid, wait);
    if (!exitCode) {
        const std::lock_guard lock(g_runningMutex);
        g_running.push_back(pid);
    }
    return {0, exitCode};
}

} // namespace zrv::desktop
