// zrvsheet-read-faulty: the reader program built for tests only. Once locked
// down, a file whose first bytes hold "zrv-reader-test:MODE" makes it
//   crash    end by SIGSEGV
//   stall    wait forever
//   memory   allocate until its address space runs out
//   garbage  answer with a damaged stream and exit as if it had read the file
//   probe    try what the lockdown must refuse, and a thread it allows, and
//            answer with the outcomes as the texts of column A
//            ("open: Operation not permitted", ..., "thread: allowed")
//   libraries answer with the file names of the shared libraries it has
//            loaded as the texts of column A
// Any other file is read as the installed reader reads it.

#include "sheet/io/WorkbookStream.h"
#include "sheet/reader/Reader.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <memory>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace zrv::sheet;

std::string Outcome(const char* what, long result)
{
    return std::string(what) + ": " + (result < 0 ? std::strerror(errno) : "allowed");
}

// A thread of its own, which the lockdown allows.
long StartThread()
{
    try {
        std::thread([] {}).join();
        return 0;
    } catch (const std::system_error& failure) {
        errno = failure.code().value();
        return -1;
    }
}

[[noreturn]] void AnswerColumnA(const std::vector<std::string>& texts)
{
    WorkbookData workbook;
    workbook.sheets.resize(1);
    uint32_t row = 1;
    for (const std::string& text : texts)
        workbook.sheets[0].cells[CellRef{row++, 1}] = CellData{CellKind::Text, text, 0, false};
    reader::Answer(EncodeWorkbookAnswer(workbook));
    _exit(0);
}

[[noreturn]] void ListLibraries()
{
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* list) {
            const std::string_view path = info->dlpi_name ? info->dlpi_name : "";
            if (!path.empty())
                static_cast<std::vector<std::string>*>(list)->emplace_back(
                    path.substr(path.rfind('/') + 1));
            return 0;
        },
        &names);
    AnswerColumnA(names);
}

[[noreturn]] void Probe()
{
    char* const argv[] = {const_cast<char*>("true"), nullptr};
    const std::vector<std::string> outcomes = {
        Outcome("open", open("/etc/hostname", O_RDONLY)),
        Outcome("create", open("/tmp/zrv-reader-probe", O_WRONLY | O_CREAT | O_TRUNC, 0600)),
        Outcome("socket", socket(AF_UNIX, SOCK_STREAM, 0)),
        Outcome("network", socket(AF_INET, SOCK_DGRAM, 0)),
        Outcome("exec", execve("/bin/true", argv, nullptr)),
        Outcome("fork", fork()),
        Outcome("ptrace", ptrace(PTRACE_TRACEME, 0, nullptr, nullptr)),
        Outcome("thread", StartThread()),
    };
    AnswerColumnA(outcomes);
}

void TakeOver(std::string_view head)
{
    constexpr std::string_view marker = "zrv-reader-test:";
    const auto at = head.find(marker);
    if (at == std::string_view::npos)
        return;
    const std::string_view mode = head.substr(at + marker.size());
    if (mode.starts_with("crash"))
        raise(SIGSEGV);
    if (mode.starts_with("stall")) {
        for (;;)
            sleep(1);
    }
    if (mode.starts_with("memory")) {
        std::vector<std::unique_ptr<char[]>> blocks;
        for (;;)
            blocks.push_back(std::make_unique_for_overwrite<char[]>(16u << 20));
    }
    if (mode.starts_with("garbage")) {
        reader::Answer(std::string_view("ZRVA\x01W\xFF\xFF\xFF\xFF", 10));
        _exit(0);
    }
    if (mode.starts_with("probe"))
        Probe();
    if (mode.starts_with("libraries"))
        ListLibraries();
}

} // namespace

int main(int argc, char** argv)
{
    return reader::Run(argc, argv, TakeOver);
}
