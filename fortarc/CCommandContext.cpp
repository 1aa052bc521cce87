#include "fortarc/CCommandContext.h"

#include "fortarc/ConsoleText.h"
#include "fortarc/FortarcError.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace fortarc {

CCommandContext::CCommandContext(bool json, std::function<std::string()> dataFolder)
    : m_json(json), m_terminal(::isatty(STDOUT_FILENO) == 1), m_dataFolder(std::move(dataFolder))
{}

std::string CCommandContext::Printable(std::u16string_view text) const
{
    return ToConsole(m_terminal ? Visible(text) : text);
}

std::string CCommandContext::DataFolder() const
{
    if (!m_dataFolderFound)
        m_dataFolderFound = m_dataFolder();
    return *m_dataFolderFound;
}

ArchiveRef CCommandContext::Resolve(const std::string& argument) const
{
    return ResolveArchive(argument, [this] { return DataFolder(); });
}

CFortuneArchive CCommandContext::Open(const ArchiveRef& archive, Access access) const
{
    struct stat info {};
    if (::stat(archive.path.c_str(), &info) != 0)
        throw FortarcError(ExitCode::NoArchive,
                           archive.label + ": " +
                               (errno == ENOENT ? "no such archive" : std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        throw FortarcError(ExitCode::NoArchive, archive.label + ": not an archive file");
    if (::access(archive.path.c_str(), R_OK) != 0)
        throw FortarcError(ExitCode::NoArchive, archive.label + ": " + std::strerror(errno));
    const bool mayChange =
        access == Access::Read ||
        (::access(archive.path.c_str(), W_OK) == 0 &&
         (access == Access::Append || ::access(FolderOf(archive.path).c_str(), W_OK | X_OK) == 0));
    if (!mayChange)
        throw FortarcError(ExitCode::Failure, archive.label + ": " + std::strerror(errno));
    return CFortuneArchive::Open(FromConsole(archive.path, "the path " + archive.label),
                                 archive.label);
}

std::string CCommandContext::ReadText(const std::optional<std::string>& operand)
{
    if (operand && *operand != "-")
        return *operand;
    std::string text;
    char block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, stdin)) > 0)
        text.append(block, got);
    if (std::ferror(stdin))
        throw FortarcError(ExitCode::Failure,
                           std::string("cannot read standard input: ") + std::strerror(errno));
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

int32_t CCommandContext::ParseIndex(const std::string& operand, int32_t count)
{
    int32_t index = 0;
    const char* const end = operand.data() + operand.size();
    const auto [next, error] = std::from_chars(operand.data(), end, index);
    const bool digitsOnly = !operand.empty() && operand[0] != '-' && operand[0] != '+';
    if (!digitsOnly || next != end || error == std::errc::invalid_argument)
        throw FortarcError(ExitCode::Usage, "\"" + operand + "\" is not a fortune number");
    if (error == std::errc::result_out_of_range || index < 1 || index > count)
        throw FortarcError(ExitCode::BadIndex, "there is no fortune " + operand +
                                                   " (the archive holds " + std::to_string(count) +
                                                   ")");
    return index;
}

void CCommandContext::Print(std::string_view bytes)
{
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        throw FortarcError(ExitCode::Failure,
                           std::string("cannot write standard output: ") + std::strerror(errno));
}

} // namespace fortarc
