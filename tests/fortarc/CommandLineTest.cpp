// fortarc's command line: what each argument list parses to, the one-line
// reason and exit status of each wrong one, and the help text against the
// parser.

#include "fortarc/CommandLine.h"

#include "fortarc/ConsoleText.h"
#include "fortarc/FortarcError.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using fortarc::CommandLine;
using fortarc::ExitCode;
using fortarc::FortarcError;
using fortarc::ParseCommandLine;
using Words = std::vector<std::string>;

std::string Shown(const Words& words)
{
    std::string shown;
    for (const std::string& word : words)
        shown += "[" + word + "]";
    return shown;
}

struct Parsed {
    Words arguments;
    std::string command;
    Words operands;
    bool json, force, help, version;
};

TEST(FortarcCommandLine, acceptedLines_parseToTheirCommandOperandsAndFlags)
{
    const Parsed cases[] = {
        {{"list", "A"}, "list", {"A"}, false, false, false, false},
        {{"--json", "list", "A"}, "list", {"A"}, true, false, false, false},
        {{"list", "A", "--json"}, "list", {"A"}, true, false, false, false},
        {{"show", "--json", "A", "2"}, "show", {"A", "2"}, true, false, false, false},
        {{"count", "./my archive"}, "count", {"./my archive"}, false, false, false, false},
        {{"add", "A"}, "add", {"A"}, false, false, false, false},
        {{"add", "A", "-"}, "add", {"A", "-"}, false, false, false, false},
        {{"add", "A", "--", "-5"}, "add", {"A", "-5"}, false, false, false, false},
        {{"add", "A", "--", "--json"}, "add", {"A", "--json"}, false, false, false, false},
        {{"--", "list", "--help"}, "list", {"--help"}, false, false, false, false},
        {{"add", "A", ""}, "add", {"A", ""}, false, false, false, false},
        {{"set", "A", "1"}, "set", {"A", "1"}, false, false, false, false},
        {{"set", "A", "1", "text"}, "set", {"A", "1", "text"}, false, false, false, false},
        {{"delete", "A", "3", "1", "3"},
         "delete",
         {"A", "3", "1", "3"},
         false,
         false,
         false,
         false},
        {{"header", "A"}, "header", {"A"}, false, false, false, false},
        {{"header", "--json", "A"}, "header", {"A"}, true, false, false, false},
        {{"header", "A", "new"}, "header", {"A", "new"}, false, false, false, false},
        {{"create", "A"}, "create", {"A"}, false, false, false, false},
        {{"rename", "A", "B"}, "rename", {"A", "B"}, false, false, false, false},
        {{"export-fortune", "A", "D"}, "export-fortune", {"A", "D"}, false, false, false, false},
        {{"export-fortune", "A", "--force", "D"},
         "export-fortune",
         {"A", "D"},
         false,
         true,
         false,
         false},
        {{"import-fortune", "F", "A"}, "import-fortune", {"F", "A"}, false, false, false, false},
        {{"archives"}, "archives", {}, false, false, false, false},
        {{"archives", "--json"}, "archives", {}, true, false, false, false},
        // Help and version win over everything but an unknown option.
        {{"help"}, "help", {}, false, false, true, false},
        {{"help", "add", "x"}, "help", {"add", "x"}, false, false, true, false},
        {{"--help"}, "", {}, false, false, true, false},
        {{"-h", "no-such-command", "x"}, "", {}, false, false, true, false},
        {{"list", "--help"}, "", {}, false, false, true, false},
        {{"--version"}, "", {}, false, false, false, true},
        {{"--version", "--json", "add"}, "", {}, true, false, false, true},
    };
    for (const Parsed& c : cases) {
        SCOPED_TRACE(Shown(c.arguments));
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.command, c.command);
        EXPECT_EQ(line.operands, c.operands);
        EXPECT_EQ(line.json, c.json);
        EXPECT_EQ(line.force, c.force);
        EXPECT_EQ(line.help, c.help);
        EXPECT_EQ(line.version, c.version);
    }
}

struct Refused {
    Words arguments;
    std::string message; // as standard error shows it, after "fortarc: "
};

TEST(FortarcCommandLine, wrongLines_failWithUsageStatusAndOneLineReason)
{
    const Refused cases[] = {
        {{}, "no command given"},
        {{"--json"}, "no command given"},
        {{"--", "--json"}, "unknown command \"--json\""},
        {{"lsit", "A"}, "unknown command \"lsit\""},
        {{"LIST", "A"}, "unknown command \"LIST\""},
        {{"-"}, "unknown command \"-\""},
        {{""}, "unknown command \"\""},
        {{"--jsn", "list", "A"}, "unknown option \"--jsn\""},
        {{"list", "A", "-x"}, "unknown option \"-x\""},
        {{"add", "A", "-5"}, "unknown option \"-5\""},
        {{"--help", "--bogus"}, "unknown option \"--bogus\""},
        {{"--json=yes", "list", "A"}, "unknown option \"--json=yes\""},
        {{"list"}, "wrong number of arguments for \"list\""},
        {{"list", "A", "B"}, "wrong number of arguments for \"list\""},
        {{"show", "A"}, "wrong number of arguments for \"show\""},
        {{"add"}, "wrong number of arguments for \"add\""},
        {{"set", "A", "1", "t", "u"}, "wrong number of arguments for \"set\""},
        {{"delete", "A"}, "wrong number of arguments for \"delete\""},
        {{"rename", "A"}, "wrong number of arguments for \"rename\""},
        {{"archives", "A"}, "wrong number of arguments for \"archives\""},
        {{"--json", "add", "A"}, "--json does not apply to \"add\""},
        {{"--json", "export-fortune", "A", "D"}, "--json does not apply to \"export-fortune\""},
        {{"--force", "list", "A"}, "--force does not apply to \"list\""},
        {{"--force", "import-fortune", "F", "A"}, "--force does not apply to \"import-fortune\""},
        // Hostile arguments stay on one line and send no control sequence.
        {{"li\nst", "A"}, "unknown command \"li\\x0Ast\""},
        {{"\x1b[2J", "A"}, "unknown command \"\\x1B[2J\""},
        {{"--a\rb"}, "unknown option \"--a\\x0Db\""},
        {{"x\x7f\xc2\x9b"}, "unknown command \"x\\x7F\\xC2\\x9B\""},
        {{"caf\xc3\xa9"}, "unknown command \"caf\xc3\xa9\""},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(Shown(c.arguments));
        try {
            ParseCommandLine(c.arguments);
            ADD_FAILURE() << "accepted";
        } catch (const FortarcError& error) {
            EXPECT_EQ(error.Code(), ExitCode::Usage);
            EXPECT_EQ(static_cast<int>(error.Code()), 2);
            EXPECT_EQ(fortarc::ErrorLine(error.what()), c.message);
        }
    }
}

// One command of the help text: its name and how many operands it shows.
struct Documented {
    std::string name;
    size_t required = 0;
    size_t optional = 0;
    bool many = false;
};

std::vector<Documented> DocumentedCommands()
{
    std::istringstream usage(fortarc::UsageText());
    std::vector<Documented> commands;
    bool inCommands = false;
    static const std::regex row(R"(^  ([a-z][a-z-]*)((?: \S+)*))");
    for (std::string text; std::getline(usage, text);) {
        if (text == "Commands:" || text == "Options:")
            inCommands = text == "Commands:";
        std::smatch match;
        if (!inCommands || !std::regex_search(text, match, row))
            continue;
        Documented command{match[1], 0, 0, false};
        std::istringstream operands(match[2].str());
        for (std::string word; operands >> word;) {
            if (word.starts_with("--") || word.starts_with("[--"))
                continue; // an option shown beside its command
            if (!std::isupper(static_cast<unsigned char>(word[word.front() == '[' ? 1 : 0])))
                break; // the description starts
            command.many = command.many || word.ends_with("...");
            (word.front() == '[' ? command.optional : command.required)++;
        }
        commands.push_back(command);
    }
    return commands;
}

// The line of the help that says which commands --json applies to.
std::string JsonOptionLine()
{
    std::istringstream usage(fortarc::UsageText());
    for (std::string text; std::getline(usage, text);)
        if (text.starts_with("  --json "))
            return text;
    return {};
}

TEST(FortarcCommandLine, everyCommandOfTheHelp_takesTheOperandsAndOptionsItShows)
{
    const std::vector<Documented> commands = DocumentedCommands();
    ASSERT_EQ(commands.size(), 12u); // all but "help"
    const std::string jsonLine = JsonOptionLine();
    ASSERT_FALSE(jsonLine.empty());
    for (const Documented& c : commands) {
        SCOPED_TRACE(c.name);
        Words words(1 + c.required, "1");
        words[0] = c.name;
        if (c.required > 0) {
            EXPECT_THROW(ParseCommandLine(Words(words.begin(), words.end() - 1)), FortarcError);
        }
        EXPECT_EQ(ParseCommandLine(words).operands.size(), c.required);
        Words json = words;
        json.push_back("--json");
        if (std::regex_search(jsonLine, std::regex("\\b" + c.name + "\\b"))) {
            EXPECT_TRUE(ParseCommandLine(json).json);
        } else {
            EXPECT_THROW(ParseCommandLine(json), FortarcError);
        }
        for (size_t k = 0; k < c.optional; ++k) {
            words.push_back("1");
            EXPECT_EQ(ParseCommandLine(words).operands.size(), c.required + k + 1);
        }
        words.push_back("1");
        if (c.many) {
            EXPECT_EQ(ParseCommandLine(words).operands.size(), words.size() - 1);
        } else {
            EXPECT_THROW(ParseCommandLine(words), FortarcError);
        }
    }
}

TEST(FortarcCommandLine, helpText_fitsEightyColumnsWithoutTabs)
{
    std::istringstream usage(fortarc::UsageText());
    int number = 0;
    for (std::string text; std::getline(usage, text);) {
        ++number;
        EXPECT_LE(text.size(), 80u) << "line " << number << ": " << text;
        EXPECT_EQ(text.find('\t'), std::string::npos) << "line " << number;
    }
    EXPECT_GT(number, 20);
}

} // namespace
