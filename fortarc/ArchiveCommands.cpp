#include "fortarc/ArchiveCommands.h"

#include "fortarc/ConsoleText.h"
#include "fortarc/FortarcError.h"
#include "fortarc/Json.h"

#include <algorithm>
#include <dirent.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fortarc::ArchiveCommands {

namespace {

const std::string kNotTaken = "the archive did not take the change";

std::u16string TrimLineBreaks(std::u16string_view text)
{
    const size_t first = text.find_first_not_of(u"\r\n");
    if (first == std::u16string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(u"\r\n");
    return std::u16string(text.substr(first, last - first + 1));
}

std::u16string FirstLine(std::u16string_view text)
{
    return std::u16string(text.substr(0, text.find_first_of(u"\r\n")));
}

// Printed texts end with one LF; reading standard input drops it again.
void PrintText(const CCommandContext& context, std::u16string_view text)
{
    CCommandContext::Print(context.Printable(ToLf(text)) + '\n');
}

void RefuseTakenName(const std::string& path, const std::string& shownAs)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0)
        throw FortarcError(ExitCode::NameTaken, shownAs + ": a file of that name exists");
}

void Require(bool taken, const std::string& label)
{
    if (!taken)
        throw FortarcError(ExitCode::Failure, label + ": " + kNotTaken);
}

} // namespace

std::u16string StorableFortune(const std::string& bytes, const std::string& what)
{
    std::u16string text = TrimLineBreaks(ToCrLf(FromConsole(bytes, what)));
    RequireStorable(text, what);
    return text;
}

void RequireStorable(std::u16string_view text, const std::string& what)
{
    if (text.empty())
        throw FortarcError(ExitCode::BadText, what + " is empty");
    if (EndsWithPercentLine(text))
        throw FortarcError(ExitCode::BadText,
                           what + " ends with a line holding only \"%\", which the archive "
                                  "would read as a separator");
}

void List(const CCommandContext& context, const std::string& archive)
{
    const CSnapshotReader fortunes =
        context.Open(context.Resolve(archive), Access::Read).Snapshot();
    const int32_t count = fortunes.Count();
    std::string out = context.Json() ? "[" : "";
    for (int32_t i = 1; i <= count; ++i) {
        const std::u16string line = FirstLine(fortunes.Item(i));
        if (context.Json()) {
            out += (i > 1 ? ",\n " : "\n ");
            out +=
                "{\"index\": " + std::to_string(i) + ", \"first_line\": " + JsonString(line) + "}";
        } else {
            out += std::to_string(i) + '\t' + context.Printable(line) + '\n';
        }
        if (out.size() > 65536) {
            CCommandContext::Print(out);
            out.clear();
        }
    }
    if (context.Json())
        out += count > 0 ? "\n]\n" : "]\n";
    CCommandContext::Print(out);
}

void Show(const CCommandContext& context, const std::string& archive, const std::string& index)
{
    const CFortuneArchive fortunes = context.Open(context.Resolve(archive), Access::Read);
    const int32_t i = CCommandContext::ParseIndex(index, fortunes.Count());
    const std::u16string text = fortunes.Item(i);
    if (context.Json())
        CCommandContext::Print("{\"index\": " + std::to_string(i) +
                               ", \"text\": " + JsonString(ToLf(text)) + "}\n");
    else
        PrintText(context, text);
}

void Count(const CCommandContext& context, const std::string& archive)
{
    const CFortuneArchive fortunes = context.Open(context.Resolve(archive), Access::Read);
    const std::string count = std::to_string(fortunes.Count());
    CCommandContext::Print(context.Json() ? "{\"count\": " + count + "}\n" : count + '\n');
}

void Add(const CCommandContext& context, const std::string& archive,
         const std::optional<std::string>& text)
{
    const ArchiveRef ref = context.Resolve(archive);
    const std::u16string fortune = StorableFortune(CCommandContext::ReadText(text), "the fortune");
    CFortuneArchive fortunes = context.Open(ref, Access::Append);
    const int32_t before = fortunes.Count();
    fortunes.Add(fortune);
    const int32_t after = fortunes.Count();
    Require(after == before + 1 && fortunes.Item(after) == fortune, ref.label);
    CCommandContext::Print(std::to_string(after) + '\n');
}

void Set(const CCommandContext& context, const std::string& archive, const std::string& index,
         const std::optional<std::string>& text)
{
    const ArchiveRef ref = context.Resolve(archive);
    CFortuneArchive fortunes = context.Open(ref, Access::Rewrite);
    const int32_t count = fortunes.Count();
    const int32_t i = CCommandContext::ParseIndex(index, count);
    const std::u16string fortune = StorableFortune(CCommandContext::ReadText(text), "the fortune");
    fortunes.SetItem(i, fortune);
    Require(fortunes.Count() == count && fortunes.Item(i) == fortune, ref.label);
}

void Delete(const CCommandContext& context, const std::string& archive,
            const std::vector<std::string>& indexes)
{
    const ArchiveRef ref = context.Resolve(archive);
    CFortuneArchive fortunes = context.Open(ref, Access::Rewrite);
    const int32_t count = fortunes.Count();
    std::vector<int32_t> chosen;
    for (const std::string& operand : indexes)
        chosen.push_back(CCommandContext::ParseIndex(operand, count));
    // Each index names the fortune it named before the command; an index
    // given twice is deleted once. One rewrite, all of them or none.
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    fortunes.DeleteMany(chosen);
    Require(fortunes.Count() == count - static_cast<int32_t>(chosen.size()), ref.label);
}

void Header(const CCommandContext& context, const std::string& archive,
            const std::optional<std::string>& text)
{
    const ArchiveRef ref = context.Resolve(archive);
    if (!text) {
        const std::u16string header = context.Open(ref, Access::Read).Header();
        if (context.Json())
            CCommandContext::Print("{\"header\": " + JsonString(ToLf(header)) + "}\n");
        else
            PrintText(context, header);
        return;
    }
    if (context.Json())
        throw FortarcError(ExitCode::Usage, "--json applies only to reading the header");
    const std::u16string header =
        ToCrLf(FromConsole(CCommandContext::ReadText(text), "the header"));
    if (EndsWithPercentLine(header))
        throw FortarcError(ExitCode::BadText, "the header ends with a line holding only \"%\", "
                                              "which the archive would read as a separator");
    CFortuneArchive fortunes = context.Open(ref, Access::Rewrite);
    const int32_t count = fortunes.Count();
    fortunes.SetHeader(header);
    Require(fortunes.Count() == count && fortunes.Header() == header, ref.label);
}

void Create(const CCommandContext& context, const std::string& archive)
{
    const ArchiveRef ref = context.Resolve(archive);
    if (!IsSafeArchiveName(ref.name))
        throw FortarcError(ExitCode::Usage, "\"" + ref.name + "\" is not a valid archive name");
    RefuseTakenName(ref.path, ref.label);
    const std::string folder = FolderOf(ref.path);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw FortarcError(ExitCode::Failure, ref.label + ": no such folder " + folder);
    CFortuneArchive fortunes =
        CFortuneArchive::Create(FromConsole(ref.path, "the path " + ref.label), ref.label);
    Require(::stat(ref.path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0 &&
                fortunes.Count() == 0,
            ref.label);
}

void Rename(const CCommandContext& context, const std::string& archive, const std::string& newName)
{
    if (!IsSafeArchiveName(newName))
        throw FortarcError(ExitCode::Usage, "\"" + newName + "\" is not a valid archive name");
    const ArchiveRef ref = context.Resolve(archive);
    const std::u16string wideName = FromConsole(newName, "the new name");
    const std::string target = FolderOf(ref.path) + '/' + newName;
    RefuseTakenName(target, newName);
    // In the data folder a name differing only in letter case is taken too:
    // the editor would no longer tell the two apart.
    if (archive.find('/') == std::string::npos)
        RefuseTakenName(context.Resolve(newName).path, newName);
    CFortuneArchive fortunes = context.Open(ref, Access::Rewrite);
    fortunes.Rename(wideName);
    struct stat info {};
    Require(fortunes.Name() == wideName && ::stat(target.c_str(), &info) == 0 &&
                ::access(ref.path.c_str(), F_OK) != 0,
            ref.label);
}

void Archives(const CCommandContext& context)
{
    struct DirCloser {
        void operator()(DIR* dir) const { closedir(dir); }
    };
    const std::string folder = context.DataFolder();
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        throw FortarcError(ExitCode::Failure, "cannot read the data folder " + folder);
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
        struct stat info {};
        if (entry->d_name[0] != '.' &&
            ::lstat((folder + '/' + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.emplace_back(entry->d_name);
    }
    std::sort(names.begin(), names.end());
    std::string out = context.Json() ? "[" : "";
    for (size_t i = 0; i < names.size(); ++i) {
        if (context.Json()) {
            out += (i > 0 ? ", " : "");
            out += JsonString(ShownText(names[i]));
        } else {
            out += names[i] + '\n';
        }
    }
    CCommandContext::Print(context.Json() ? out + "]\n" : out);
}

} // namespace fortarc::ArchiveCommands
