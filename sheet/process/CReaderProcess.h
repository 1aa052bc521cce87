#pragma once

// One run of the reader program: started with the file as its standard input
// and a pipe as its standard output, then waited for until a deadline. It is
// always reaped: a process still running when the object goes is killed
// first, so no run outlives its caller or stays behind as a zombie.

#include "engine/CUniqueFd.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zrv::sheet {

class CReaderProcess final {
public:
    using Clock = std::chrono::steady_clock;

    // How it ended.
    struct Ending {
        bool exited = false; // else it was ended by `signal`
        int status = 0;      // exit status
        int signal = 0;
        bool lost = false; // reaped by someone else: how it ended is not known
    };

    CReaderProcess() = default;
    ~CReaderProcess();
    CReaderProcess(const CReaderProcess&) = delete;
    CReaderProcess& operator=(const CReaderProcess&) = delete;

    // Starts `program` with `arguments` and an empty environment; the
    // caller's other descriptors stay closed to it. False with the reason in
    // `error` when it cannot be started.
    bool Start(const std::string& program, const std::vector<std::string>& arguments, int input,
               int output, std::string& error);
    // Waits until it ends or the deadline passes (false).
    bool WaitUntil(Clock::time_point deadline);
    // Kills it and waits for it.
    void Kill();
    const Ending& Ended() const { return m_ending; }

private:
    void Reap(int options);

    pid_t m_pid = -1; // while not reaped
    CUniqueFd m_pidFd;
    Ending m_ending;
};

} // namespace zrv::sheet
