#include "sheet/reader/Lockdown.h"

#include "engine/CUniqueFd.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/landlock.h>
#include <linux/sched.h>
#include <memory>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace zrv::sheet::reader {

namespace {

constexpr rlim_t kOpenFiles = 8;

void CloseOtherDescriptors()
{
    if (syscall(SYS_close_range, 3u, ~0u, 0u) == 0)
        return;
    for (int fd = 3; fd < 1024; ++fd)
        close(fd);
}

bool Limit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    return setrlimit(resource, &limit) == 0;
}

bool SetLimits(const Grants& grants)
{
    const uint64_t mapped = MappedBytes();
    if (mapped == 0)
        return false;
    const rlim_t addressSpace = mapped + grants.addressSpaceBytes;
    return Limit(RLIMIT_AS, addressSpace, addressSpace) &&
           Limit(RLIMIT_CPU, grants.cpuSeconds, grants.cpuSeconds + 1) &&
           Limit(RLIMIT_FSIZE, 0, 0) && Limit(RLIMIT_NOFILE, kOpenFiles, kOpenFiles) &&
           Limit(RLIMIT_CORE, 0, 0);
}

// Landlock's access rights of its first two versions: everything a process
// may do to files by their names.
constexpr uint64_t kFileAccess =
    LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_READ_FILE |
    LANDLOCK_ACCESS_FS_READ_DIR | LANDLOCK_ACCESS_FS_REMOVE_DIR | LANDLOCK_ACCESS_FS_REMOVE_FILE |
    LANDLOCK_ACCESS_FS_MAKE_CHAR | LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG |
    LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO | LANDLOCK_ACCESS_FS_MAKE_BLOCK |
    LANDLOCK_ACCESS_FS_MAKE_SYM;

// No file may be reached by its name: a ruleset that handles every access
// and allows none. A kernel without Landlock leaves this to the system-call
// filter alone.
bool ConfineFiles()
{
    const long abi =
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1)
        return true;
    landlock_ruleset_attr ruleset{kFileAccess | (abi >= 2 ? LANDLOCK_ACCESS_FS_REFER : 0)};
    const CUniqueFd rules(
        static_cast<int>(syscall(SYS_landlock_create_ruleset, &ruleset, sizeof ruleset, 0)));
    if (!rules.IsOpen())
        return false;
    return syscall(SYS_landlock_restrict_self, rules.Get(), 0) == 0;
}

struct FilterDeleter {
    void operator()(void* filter) const { seccomp_release(filter); }
};
using Filter = std::unique_ptr<void, FilterDeleter>;

struct Rule {
    int syscall;
    std::vector<scmp_arg_cmp> conditions;
};

// Every rule allows its call when all its conditions hold; whatever no rule
// allows fails with EPERM, so a library probing for something it may not
// have goes on without it.
std::vector<Rule> Rules()
{
    const auto self = static_cast<scmp_datum_t>(getpid());
    const scmp_arg_cmp noExec = SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0);
    return {
        // The file, the answer and the application's standard error.
        {SCMP_SYS(read), {SCMP_A0(SCMP_CMP_EQ, STDIN_FILENO)}},
        {SCMP_SYS(write), {SCMP_A0(SCMP_CMP_EQ, STDOUT_FILENO)}},
        {SCMP_SYS(write), {SCMP_A0(SCMP_CMP_EQ, STDERR_FILENO)}},
        {SCMP_SYS(close), {}},
        // Memory, never executable.
        {SCMP_SYS(brk), {}},
        {SCMP_SYS(mmap), {noExec}},
        {SCMP_SYS(mprotect), {noExec}},
        {SCMP_SYS(munmap), {}},
        {SCMP_SYS(mremap), {}},
        {SCMP_SYS(madvise), {}},
        // Threads of this process only, and what they wait with.
        {SCMP_SYS(clone), {SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)}},
        {SCMP_SYS(futex), {}},
        {SCMP_SYS(set_robust_list), {}},
        {SCMP_SYS(rseq), {}},
        {SCMP_SYS(sched_yield), {}},
        {SCMP_SYS(sched_getaffinity), {}},
        {SCMP_SYS(getpid), {}},
        {SCMP_SYS(gettid), {}},
        {SCMP_SYS(rt_sigaction), {}},
        {SCMP_SYS(rt_sigprocmask), {}},
        {SCMP_SYS(rt_sigreturn), {}},
        {SCMP_SYS(sigaltstack), {}},
        {SCMP_SYS(tgkill), {SCMP_A0(SCMP_CMP_EQ, self)}}, // abort() signals itself
        {SCMP_SYS(clock_gettime), {}},
        {SCMP_SYS(clock_nanosleep), {}},
        {SCMP_SYS(nanosleep), {}},
        {SCMP_SYS(getrandom), {}},
        {SCMP_SYS(exit), {}},
        {SCMP_SYS(exit_group), {}},
    };
}

bool LoadFilter()
{
    const Filter filter(seccomp_init(SCMP_ACT_ERRNO(EPERM)));
    if (!filter)
        return false;
    // glibc falls back to clone, whose flags the filter can see.
    if (seccomp_rule_add(filter.get(), SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) != 0)
        return false;
    for (const Rule& rule : Rules()) {
        if (seccomp_rule_add_array(filter.get(), SCMP_ACT_ALLOW, rule.syscall,
                                   static_cast<unsigned>(rule.conditions.size()),
                                   rule.conditions.data()) != 0)
            return false;
    }
    return seccomp_load(filter.get()) == 0;
}

} // namespace

uint64_t MappedBytes()
{
    const int fd = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[128] = {};
    const ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0)
        return 0;
    return std::strtoull(text, nullptr, 10) * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

bool LockDown(const Grants& grants, std::string& failure)
{
    CloseOtherDescriptors();
    // Ends with the application, whatever it was waiting for.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0) != 0 ||
        prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0) {
        failure = "process attributes";
        return false;
    }
    if (!SetLimits(grants)) {
        failure = "resource limits";
        return false;
    }
    if (!ConfineFiles()) {
        failure = "file-system confinement";
        return false;
    }
    if (!LoadFilter()) {
        failure = "system-call filter";
        return false;
    }
    return true;
}

} // namespace zrv::sheet::reader
