#include "sheet/process/SandboxedRead.h"

#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookFiles.h"
#include "sheet/process/CAnswerPipe.h"
#include "sheet/process/CReaderProcess.h"
#include "sheet/process/CSheetModule.h"
#include "sheet/process/SheetLogging.h"
#include "sheet/reader/ReaderProtocol.h"

#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv::sheet {

namespace {

using Clock = CReaderProcess::Clock;

constexpr int kAnswerPipeBytes = 1 << 20; // what /proc/sys/fs/pipe-max-size allows by default

#ifdef ZRV_SHEET_TEST_SEAMS
template <class T> void Override(const char* name, T& value)
{
    const char* text = std::getenv(name);
    if (!text)
        return;
    T parsed{};
    const char* end = text + std::strlen(text);
    if (const auto [at, error] = std::from_chars(text, end, parsed);
        error == std::errc() && at == end && parsed > 0)
        value = parsed;
}
#endif

// How the run went, as far as the application saw it.
struct Outcome {
    bool timedOut = false;
    ReaderAnswer answer;
    std::string damage; // the answer could not be decoded
};

Outcome Collect(CReaderProcess& process, int answerFd, Clock::time_point deadline)
{
    Outcome outcome;
    try {
        CAnswerPipe pipe(answerFd, deadline);
        outcome.answer = DecodeAnswer(pipe);
    } catch (const CAnswerTimeout&) {
        outcome.timedOut = true;
    } catch (const std::bad_alloc&) {
        outcome.damage = "the reader's answer is damaged (too large)";
    } catch (const std::exception& damage) {
        outcome.damage = damage.what();
    }
    if (!outcome.timedOut && !process.WaitUntil(deadline))
        outcome.timedOut = true;
    process.Kill(); // a run out of time, or one whose answer was cut short
    return outcome;
}

std::string SignalReason(int signal, unsigned seconds)
{
    if (signal == SIGXCPU)
        return "reading it took longer than " + std::to_string(seconds) + " s";
    return "the reader stopped (signal " + std::to_string(signal) + ")";
}

// The one-line reason for a run that gave no workbook; empty when it did.
std::string Reason(const Outcome& outcome, const CReaderProcess::Ending& ending, unsigned seconds)
{
    using namespace reader;
    if (outcome.timedOut)
        return "reading it took longer than " + std::to_string(seconds) + " s";
    if (ending.lost) // a whole, sound answer still counts
        return outcome.damage.empty() ? outcome.answer.reason : outcome.damage;
    if (!ending.exited)
        return SignalReason(ending.signal, seconds);
    switch (ending.status) {
    case kExitOutOfMemory:
        return "it needs more memory than a spreadsheet file may take";
    case kExitUnconfined:
        return "the spreadsheet reader cannot lock itself down on this system";
    case kExitRead:
    case kExitRefused:
        if (!outcome.damage.empty())
            return outcome.damage;
        if (outcome.answer.read == (ending.status == kExitRead))
            return outcome.answer.reason; // empty for a workbook
        return "the reader's answer is damaged (it does not match its exit status)";
    default:
        break;
    }
    return "the reader stopped (exit status " + std::to_string(ending.status) + ")";
}

} // namespace

ReaderSettings CurrentReaderSettings()
{
    ReaderSettings settings;
    settings.program =
        (std::filesystem::path(CSheetModule::FilePath()).parent_path() / reader::kProgram).string();
    settings.seconds = reader::kDeadlineSeconds;
    settings.addressSpaceMiB = reader::kAddressSpaceMiB;
#ifdef ZRV_SHEET_TEST_SEAMS
    if (const char* program = std::getenv("ZRV_SHEET_READER"))
        settings.program = program;
    Override("ZRV_SHEET_READER_SECONDS", settings.seconds);
    Override("ZRV_SHEET_READER_MIB", settings.addressSpaceMiB);
#endif
    return settings;
}

std::optional<WorkbookData> ReadInReader(const std::string& path, std::string& error)
{
    const ReaderSettings settings = CurrentReaderSettings();
    CUniqueFd file;
    struct stat status {};
    try {
        file = OpenWorkbookFile(path);
    } catch (const CReadError& failure) {
        error = failure.what();
        return std::nullopt;
    }
    int ends[2];
    if (fstat(file.Get(), &status) != 0 || pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot read ") + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    const CUniqueFd answer(ends[0]);
    CUniqueFd answerEnd(ends[1]);
    // Room for a whole answer of an everyday workbook: the reader writes it
    // and ends without waiting for this side to decode each part.
    if (fcntl(answerEnd.Get(), F_SETPIPE_SZ, kAnswerPipeBytes) < 0)
        qCDebug(lcSheet, "The answer pipe keeps its size: %s", std::strerror(errno));
    const auto deadline = Clock::now() + std::chrono::seconds(settings.seconds);
    CReaderProcess process;
    if (!process.Start(settings.program,
                       {std::to_string(status.st_size), std::to_string(settings.addressSpaceMiB),
                        std::to_string(settings.seconds + 1)},
                       file.Get(), answerEnd.Get(), error)) {
        error = "the spreadsheet reader cannot be started (" + error + ")";
        return std::nullopt;
    }
    file = CUniqueFd();
    answerEnd = CUniqueFd(); // so the pipe ends when the reader does
    Outcome outcome = Collect(process, answer.Get(), deadline);
    error = Reason(outcome, process.Ended(), settings.seconds);
    if (!error.empty())
        return std::nullopt;
    return std::move(outcome.answer.workbook);
}

} // namespace zrv::sheet
