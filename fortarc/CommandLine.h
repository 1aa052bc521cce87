#pragma once

#include <string>
#include <vector>

namespace fortarc {

struct CommandLine {
    std::string command; // empty with --help or --version
    std::vector<std::string> operands;
    bool json = false;
    bool force = false; // export-fortune only
    bool help = false;
    bool version = false;
};

// Options may stand anywhere before "--"; everything after it is an operand.
// Throws FortarcError(Usage) for an unknown option, an unknown command or a
// wrong number of operands.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text of --help; the man page is made from it.
std::string UsageText();

} // namespace fortarc
