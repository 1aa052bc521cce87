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
// A compound file whose class id is "zrv-reader-test:" makes it probe as
// above, then read the file as the installed reader does, and answer with the
// outcomes followed by the texts of the first sheet's cells as column A.
// Any other file is read as the installed reader reads it.

#include "sheet/io/CCompoundFile.h"
#include "sheet/io/WorkbookFiles.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/WorkbookStream.h"
#include "sheet/reader/Reader.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <map>
#include <memory>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace zrv::sheet;
using CellMap = std::map<CellRef, CellData>;

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

std::vector<std::string> ProbeOutcomes()
{
    char* const argv[] = {const_cast<char*>("true"), nullptr};
    return {
        Outcome("open", open("/etc/hostname", O_RDONLY)),
        Outcome("create", open("/tmp/zrv-reader-probe", O_WRONLY | O_CREAT | O_TRUNC, 0600)),
        Outcome("socket", socket(AF_UNIX, SOCK_STREAM, 0)),
        Outcome("network", socket(AF_INET, SOCK_DGRAM, 0)),
        Outcome("exec", execve("/bin/true", argv, nullptr)),
        Outcome("fork", fork()),
        Outcome("ptrace", ptrace(PTRACE_TRACEME, 0, nullptr, nullptr)),
        Outcome("thread", StartThread()),
    };
}

// The whole file on standard input (what the installed reader reads).
std::string ReadFile()
{
    std::string bytes;
    char block[65536];
    while (bytes.size() <= kMaxFileBytes) {
        const ssize_t got = read(STDIN_FILENO, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.append(block, static_cast<std::size_t>(got));
    }
    return bytes;
}

[[noreturn]] void ProbeThenRead()
{
    std::vector<std::string> texts = ProbeOutcomes();
    std::string error;
    const auto workbook = ReadWorkbookBytes(ReadFile(), error);
    if (!workbook)
        texts.push_back("read: " + error);
    for (const auto& [ref, cell] : workbook ? workbook->sheets.at(0).cells : CellMap()) {
        if (cell.kind == CellKind::Text)
            texts.push_back(cell.text);
    }
    AnswerColumnA(texts);
}

void TakeOver(std::string_view head)
{
    constexpr std::string_view marker = "zrv-reader-test:";
    if (CCompoundFile::LooksLikeCompoundFile(head) && head.substr(8).starts_with(marker))
        ProbeThenRead();
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
        AnswerColumnA(ProbeOutcomes());
    if (mode.starts_with("libraries"))
        ListLibraries();
}

} // namespace

int main(int argc, char** argv)
{
    return reader::Run(argc, argv, TakeOver);
}
