#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace zrv {

// A change the archive object refused or could not complete, with a one-line
// reason. Thrown before anything is written for a refused text, and after the
// file was left as it was for a failed batch change.
class CArchiveError final : public std::runtime_error {
public:
    enum class Kind {
        RefusedText, // a text that would not read back exactly as given
        BadIndex,    // a fortune index out of range
        Failed,      // the file could not be read or changed
    };

    CArchiveError(Kind kind, const std::string& reason, size_t text = 0)
        : std::runtime_error(reason), m_kind(kind), m_text(text)
    {}

    Kind GetKind() const { return m_kind; }
    // Position (from 1) of the refused text in a batch; 0 for a single text.
    size_t Text() const { return m_text; }

private:
    Kind m_kind;
    size_t m_text;
};

} // namespace zrv
