#include "sheet/reader/Reader.h"

#include "sheet/io/BiffStrings.h"
#include "sheet/io/CCompoundFile.h"
#include "sheet/io/WorkbookFiles.h"
#include "sheet/io/WorkbookLimits.h"
#include "sheet/io/WorkbookStream.h"
#include "sheet/reader/Lockdown.h"
#include "sheet/reader/ReaderProtocol.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>
#include <optional>
#include <unistd.h>

namespace zrv::sheet::reader {

namespace {

constexpr int kExitUsage = 2;
constexpr std::size_t kHeadBytes = 64;

struct Arguments {
    uint64_t fileBytes = 0;
    uint64_t addressSpaceMiB = 0;
    unsigned cpuSeconds = 0;
};

template <class T> bool Number(const char* text, T& value)
{
    const char* end = text + std::strlen(text);
    const auto [at, error] = std::from_chars(text, end, value);
    return error == std::errc() && at == end && at != text;
}

bool Parse(int argc, char** argv, Arguments& arguments)
{
    if (argc != 4)
        return false;
    return Number(argv[1], arguments.fileBytes) && arguments.fileBytes <= kMaxFileBytes &&
           Number(argv[2], arguments.addressSpaceMiB) && arguments.addressSpaceMiB > 0 &&
           arguments.addressSpaceMiB < (uint64_t(1) << 32) &&
           Number(argv[3], arguments.cpuSeconds) && arguments.cpuSeconds > 0;
}

void Say(std::string_view text)
{
    const std::string line = std::string(kProgram) + ": " + std::string(text) + "\n";
    [[maybe_unused]] const ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
}

// The first bytes of the file, without moving its offset.
std::string Head()
{
    std::string head(kHeadBytes, '\0');
    const ssize_t got = pread(STDIN_FILENO, head.data(), head.size(), 0);
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return head;
}

[[noreturn]] void OutOfMemory()
{
    _exit(kExitOutOfMemory);
}

// The whole file, which the application found to hold `size` bytes.
std::optional<std::string> ReadInput(uint64_t size, std::string& error)
{
    std::string bytes(size, '\0');
    std::size_t filled = 0;
    char extra = 0;
    for (;;) {
        const bool full = filled == bytes.size();
        const ssize_t got = full ? read(STDIN_FILENO, &extra, 1)
                                 : read(STDIN_FILENO, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = std::string("cannot read the file: ") + std::strerror(errno);
            return std::nullopt;
        }
        if (got == 0 && full)
            return bytes;
        if (got == 0 || full) {
            error = "the file changed while it was read";
            return std::nullopt;
        }
        filled += static_cast<std::size_t>(got);
    }
}

// Ends the process once the answer is out: what it built is left to the
// kernel, so the application sees the end of the answer and the exit without
// waiting for destructors.
[[noreturn]] void Finish(bool answered, int status)
{
    _exit(answered ? status : kExitUsage);
}

[[noreturn]] void Refuse(std::string_view reason)
{
    Finish(Answer(EncodeFailureAnswer(reason)), kExitRefused);
}

// Memory freed while parsing is reused instead of being given back and
// faulted in afresh: a short-lived process pays for every new page. Its
// threads allocate from the same heap, not from arenas of their own.
void KeepFreedMemory()
{
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    mallopt(M_TOP_PAD, 16 << 20);
}

} // namespace

bool Answer(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t put = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

int Run(int argc, char** argv, TestHook hook)
{
    Arguments arguments;
    if (!Parse(argc, argv, arguments)) {
        Say("usage: zrvsheet-read FILE-BYTES ADDRESS-SPACE-MIB CPU-SECONDS < FILE > ANSWER");
        return kExitUsage;
    }
    KeepFreedMemory();
    const std::string head = Head();
    Grants grants;
    grants.addressSpaceBytes = arguments.addressSpaceMiB << 20;
    grants.cpuSeconds = arguments.cpuSeconds;
    // BIFF5 texts are converted from their code page by iconv, which loads
    // its conversions from files: they are loaded while that is allowed.
    if (CCompoundFile::LooksLikeCompoundFile(head))
        KeepCodePageConversions();
    std::set_new_handler(OutOfMemory);
    std::string failure;
    if (!LockDown(grants, failure)) {
        Say("cannot lock itself down (" + failure + "): " + std::strerror(errno));
        return kExitUnconfined;
    }
    if (hook)
        hook(head);

    std::string error;
    std::optional<std::string> bytes = ReadInput(arguments.fileBytes, error);
    if (!bytes)
        Refuse(error);
    std::optional<WorkbookData> workbook = ReadWorkbookBytes(*bytes, error);
    bytes.reset(); // before the answer takes its room
    if (!workbook)
        Refuse(error);
    Finish(Answer(EncodeWorkbookAnswer(*workbook)), kExitRead);
}

} // namespace zrv::sheet::reader
