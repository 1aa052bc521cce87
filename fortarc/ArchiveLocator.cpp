#include "fortarc/ArchiveLocator.h"

#include "fortarc/FortarcError.h"

#include <cwchar>
#include <cwctype>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace fortarc {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// Letters compared without regard to case in the locale's character set, as
// the editor compares archive names; bytes that are not text compare exactly.
std::u32string Folded(const std::string& name)
{
    std::u32string result;
    std::mbstate_t state{};
    const char* next = name.data();
    const char* const end = name.data() + name.size();
    while (next < end) {
        wchar_t c = 0;
        const size_t used = std::mbrtowc(&c, next, static_cast<size_t>(end - next), &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2) || used == 0) {
            result += static_cast<char32_t>(0x110000 + static_cast<unsigned char>(*next));
            state = std::mbstate_t{};
            ++next;
            continue;
        }
        result += static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
        next += used;
    }
    return result;
}

std::string MatchInFolder(const std::string& folder, const std::string& name)
{
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return name;
    const std::u32string wanted = Folded(name);
    std::string chosen;
    int caseMatches = 0;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string file = entry->d_name;
        if (file.empty() || file[0] == '.')
            continue;
        struct stat info {};
        if (lstat((folder + '/' + file).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (file == name)
            return name;
        if (Folded(file) == wanted) {
            chosen = file;
            ++caseMatches;
        }
    }
    return caseMatches == 1 ? chosen : name;
}

} // namespace

bool IsSafeArchiveName(const std::string& name)
{
    return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

ArchiveRef ResolveArchive(const std::string& argument,
                          const std::function<std::string()>& dataFolder)
{
    if (argument.find('/') != std::string::npos) {
        const std::string name = argument.substr(argument.rfind('/') + 1);
        if (name.empty() || name == "." || name == "..")
            throw FortarcError(ExitCode::Usage, argument + ": not the path of an archive file");
        return {argument, name, argument};
    }
    if (!IsSafeArchiveName(argument))
        throw FortarcError(ExitCode::Usage, "\"" + argument + "\" is not a valid archive name");
    const std::string folder = dataFolder();
    const std::string name = MatchInFolder(folder, argument);
    return {folder + '/' + name, name, argument};
}

} // namespace fortarc
