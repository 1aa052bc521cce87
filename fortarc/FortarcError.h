#pragma once

#include <stdexcept>
#include <string>

namespace fortarc {

// Exit statuses of the program; the man page lists them.
enum class ExitCode : int {
    Ok = 0,
    Failure = 1,     // a file could not be read or written; nothing was changed
    Usage = 2,       // the command line is wrong
    NoArchive = 3,   // the archive does not exist or cannot be read
    BadIndex = 4,    // a fortune index is out of range
    BadText = 5,     // a text cannot be stored or played as given
    NoComponent = 6, // the Fortune component is not registered or does not load
    NameTaken = 7,   // create, rename or export-fortune would replace a file
};

// A failure that ends the program with one line on standard error.
class FortarcError final : public std::runtime_error {
public:
    FortarcError(ExitCode code, const std::string& message)
        : std::runtime_error(message), m_code(code)
    {}
    ExitCode Code() const { return m_code; }

private:
    ExitCode m_code;
};

} // namespace fortarc
