// fortarc: Zorva Fortune archives from the command line, and handed to
// fortune(6). A client of the Fortune component like any other program: it
// never reads or writes an archive file itself.

#include "fortarc/ArchiveCommands.h"
#include "fortarc/CCommandContext.h"
#include "fortarc/CommandLine.h"
#include "fortarc/ConsoleText.h"
#include "fortarc/FortarcError.h"
#include "fortarc/PlayerFiles.h"
#include "fortarc/PlayerInstall.h"
#include "runtime/com/ObjBase.h"

#include <clocale>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace fortarc;

// The folder of this program: the editor's own folder when both are installed
// together, which is where the editor falls back to without a player entry.
std::string OwnFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return ".";
    path.resize(static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> Operand(const CommandLine& line, size_t index)
{
    if (index < line.operands.size())
        return line.operands[index];
    return std::nullopt;
}

void Run(const CommandLine& line)
{
    const CCommandContext context(line.json, [] {
        return zrv::PlayerInstall::DataFolder(zrv::PlayerInstall::FindAppPath(OwnFolder()));
    });
    const std::string& command = line.command;
    const std::vector<std::string>& ops = line.operands;
    if (command == "list")
        ArchiveCommands::List(context, ops[0]);
    else if (command == "show")
        ArchiveCommands::Show(context, ops[0], ops[1]);
    else if (command == "count")
        ArchiveCommands::Count(context, ops[0]);
    else if (command == "add")
        ArchiveCommands::Add(context, ops[0], Operand(line, 1));
    else if (command == "set")
        ArchiveCommands::Set(context, ops[0], ops[1], Operand(line, 2));
    else if (command == "delete")
        ArchiveCommands::Delete(context, ops[0], {ops.begin() + 1, ops.end()});
    else if (command == "header")
        ArchiveCommands::Header(context, ops[0], Operand(line, 1));
    else if (command == "create")
        ArchiveCommands::Create(context, ops[0]);
    else if (command == "rename")
        ArchiveCommands::Rename(context, ops[0], ops[1]);
    else if (command == "export-fortune")
        PlayerFiles::ExportFortune(context, ops[0], ops[1], line.force);
    else if (command == "import-fortune")
        PlayerFiles::ImportFortune(context, ops[0], ops[1]);
    else if (command == "archives")
        ArchiveCommands::Archives(context);
}

int Fail(ExitCode code, const std::string& message)
{
    const char* hint = code == ExitCode::Usage ? " (fortarc --help tells more)" : "";
    std::fprintf(stderr, "fortarc: %s%s\n", ErrorLine(message).c_str(), hint);
    return static_cast<int>(code);
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    try {
        const CommandLine line = ParseCommandLine({argv + 1, argv + argc});
        if (line.help) {
            CCommandContext::Print(UsageText());
        } else if (line.version) {
            CCommandContext::Print("fortarc " FORTARC_VERSION "\n");
        } else {
            CoInitialize(nullptr);
            Run(line);
        }
        if (std::fflush(stdout) != 0)
            return Fail(ExitCode::Failure, "cannot write standard output");
        return 0;
    } catch (const FortarcError& error) {
        return Fail(error.Code(), error.what());
    } catch (const std::bad_alloc&) {
        return Fail(ExitCode::Failure, "out of memory");
    } catch (const std::exception& error) {
        return Fail(ExitCode::Failure, error.what());
    }
}
