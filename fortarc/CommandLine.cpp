#include "fortarc/CommandLine.h"

#include "fortarc/FortarcError.h"

#include <algorithm>
#include <array>

namespace fortarc {

namespace {

struct CommandShape {
    const char* name;
    size_t minOperands;
    size_t maxOperands;
    bool json;
};

constexpr size_t kMany = 1000000;

constexpr std::array<CommandShape, 13> kCommands = {{
    {"list", 1, 1, true},
    {"show", 2, 2, true},
    {"count", 1, 1, true},
    {"add", 1, 2, false},
    {"set", 2, 3, false},
    {"delete", 2, kMany, false},
    {"header", 1, 2, true},
    {"create", 1, 1, false},
    {"rename", 2, 2, false},
    {"export-fortune", 2, 2, false},
    {"import-fortune", 2, 2, false},
    {"archives", 0, 0, true},
    {"help", 0, 0, false},
}};

const CommandShape& ShapeOf(const std::string& command)
{
    const auto* found = std::find_if(kCommands.begin(), kCommands.end(),
                                     [&](const CommandShape& c) { return command == c.name; });
    if (found == kCommands.end())
        throw FortarcError(ExitCode::Usage, "unknown command \"" + command + "\"");
    return *found;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || argument == "-" || argument.size() < 2 || argument[0] != '-') {
            words.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--json") {
            line.json = true;
        } else if (argument == "--force") {
            line.force = true;
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--version") {
            line.version = true;
        } else {
            throw FortarcError(ExitCode::Usage, "unknown option \"" + argument + "\"");
        }
    }
    if (line.help || line.version)
        return line;
    if (words.empty())
        throw FortarcError(ExitCode::Usage, "no command given");
    line.command = words.front();
    line.operands.assign(words.begin() + 1, words.end());
    const CommandShape& shape = ShapeOf(line.command);
    if (line.command == "help") {
        line.help = true;
        return line;
    }
    if (line.operands.size() < shape.minOperands || line.operands.size() > shape.maxOperands)
        throw FortarcError(ExitCode::Usage,
                           "wrong number of arguments for \"" + line.command + "\"");
    if (line.json && !shape.json)
        throw FortarcError(ExitCode::Usage, "--json does not apply to \"" + line.command + "\"");
    if (line.force && line.command != "export-fortune")
        throw FortarcError(ExitCode::Usage, "--force does not apply to \"" + line.command + "\"");
    return line;
}

std::string UsageText()
{
    return R"(Usage: fortarc [--json] COMMAND [ARGUMENT]...
Reads and changes Zorva Fortune archives, and hands them to fortune(6).

ARCHIVE is the name of an archive in the data folder of the fortune player
(found through its uninstall entry, as the editor fortedit finds it), or the
path of an archive file when it holds a "/". Fortunes are numbered from 1.
TEXT is taken from standard input when it is left out or is "-"; one final
line end of standard input is dropped. Texts are read and printed in the
character set of the locale (LC_CTYPE) with LF line ends; bytes of an archive
that are not valid in it are shown as replacement characters, and so are
control characters other than TAB and LF when standard output is a terminal.

Commands:
  list ARCHIVE                 print the index and first line of each fortune
  show ARCHIVE N               print fortune N
  count ARCHIVE                print the number of fortunes
  add ARCHIVE [TEXT]           append a fortune and print its index
  set ARCHIVE N [TEXT]         replace fortune N
  delete ARCHIVE N...          delete fortunes; each N names a fortune as
                               numbered before the command
  header ARCHIVE [TEXT]        print the header, or replace it with TEXT
                               ("-" reads it from standard input)
  create ARCHIVE               create an empty archive
  rename ARCHIVE NEWNAME       rename an archive within its folder
  export-fortune [--force] ARCHIVE DIR
                               write DIR/NAME (the fortunes, each followed by a
                               line holding "%") and DIR/NAME.dat (its strfile
                               index), so that "fortune DIR/NAME" plays them;
                               NAME is the archive's name, the header is left
                               out; both files are replaced together or not at
                               all, and only when they are a fortune file with
                               its strfile index (an earlier export, or a file
                               indexed by strfile) unless --force is given
  import-fortune FILE ARCHIVE  append the entries of the fortune(6) file FILE
                               (with its FILE.dat, if any, for the delimiter
                               and rotation); all of them or none; FILE and
                               FILE.dat must be regular files
  archives                     print the names of the data folder's archives

Options:
  --json       print list, show, count, header and archives as JSON (UTF-8)
  --force      let export-fortune replace files that are not a fortune file
               with its strfile index
  -h, --help   print this help and exit
  --version    print the version and exit
  --           end of options: the arguments after it are taken as given

Texts that cannot be stored or played as given are refused: an empty
fortune, a text ending in a line holding only "%" (the archive would read it
as a separator), and for export-fortune a fortune holding a line that is only
"%" (fortune(6) would split it in two). Nothing is changed then.

Exit status:
  0  success
  1  a file could not be read or written; nothing was changed (delete of
     several fortunes takes them one at a time: its message says how many
     were deleted before the failure)
  2  the command line is wrong
  3  the archive does not exist or cannot be read
  4  a fortune index is out of range
  5  a text cannot be stored or played as given
  6  the Fortune component is not registered or does not load
  7  a file is in the way: the new archive name is taken, or export-fortune
     would replace files that are not a fortune file with its index

Examples:
  fortarc add Proverbs "Look before you leap."
  fortarc list --json ./my-archive
  fortarc export-fortune Proverbs ~/fortunes && fortune ~/fortunes/Proverbs
)";
}

} // namespace fortarc
