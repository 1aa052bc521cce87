#include "sheet/process/CReaderProcess.h"

#include "sheet/process/CSpawnArguments.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zrv::sheet {

namespace {

class SpawnSetup final {
public:
    SpawnSetup(int input, int output)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_adddup2(&m_actions, input, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&m_actions, output, STDOUT_FILENO);
        posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1);
        // Default signal actions and none blocked, whatever the caller set.
        posix_spawnattr_init(&m_attributes);
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&m_attributes, &all);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&m_attributes);
        posix_spawn_file_actions_destroy(&m_actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
    const posix_spawnattr_t* Attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

} // namespace

CReaderProcess::~CReaderProcess()
{
    if (m_pid > 0)
        Kill();
}

bool CReaderProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                           int input, int output, std::string& error)
{
    const CSpawnArguments argv(program, arguments);
    char* environment[] = {nullptr};
    const SpawnSetup setup(input, output);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), setup.Actions(), setup.Attributes(),
                                   argv.Get(), environment);
    if (failed != 0) {
        error = program + ": " + std::strerror(failed);
        return false;
    }
    m_pid = pid;
    // Polled for its end where the kernel offers it; else WaitUntil polls waitpid.
    m_pidFd = CUniqueFd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
    return true;
}

void CReaderProcess::Reap(int options)
{
    int status = 0;
    pid_t got = -1;
    do {
        got = waitpid(m_pid, &status, options);
    } while (got < 0 && errno == EINTR);
    if (got == 0)
        return; // still running
    if (got == m_pid) {
        m_ending.exited = WIFEXITED(status);
        m_ending.status = m_ending.exited ? WEXITSTATUS(status) : 0;
        m_ending.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    } else {
        m_ending.lost = true;
    }
    m_pid = -1; // reaped, or not ours to wait for any more (ECHILD)
    m_pidFd = CUniqueFd();
}

bool CReaderProcess::WaitUntil(Clock::time_point deadline)
{
    while (m_pid > 0) {
        Reap(WNOHANG);
        if (m_pid <= 0)
            break;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        if (m_pidFd.IsOpen()) {
            pollfd ended{m_pidFd.Get(), POLLIN, 0};
            poll(&ended, 1, static_cast<int>(left.count()) + 1);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

void CReaderProcess::Kill()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGKILL);
    Reap(0);
}

} // namespace zrv::sheet
