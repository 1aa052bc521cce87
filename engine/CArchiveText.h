#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zrv {

// The text rules of the archive format: which texts can be stored so that they
// read back exactly as given, how line breaks are trimmed, and how a stored
// text is handed out. CArchive offers them as its own.
class CArchiveText {
public:
    // Why `text` would not read back exactly once stored as a fortune or
    // header: a NUL byte, a line of only "%" after a bare line feed, or a last
    // line of only "%". Null when it would.
    static const char* Unstorable(std::string_view text);
    static std::string TrimLineBreaks(const std::string& text);
    // The same without a copy: a view into `text`.
    static std::string_view Trimmed(std::string_view text);
    static std::string ToCrLf(std::string_view text);
    // A stored text as it is handed out: up to a NUL byte, with CR LF line ends.
    static std::string HandedOut(std::string_view stored);

protected:
    CArchiveText() = default;
    ~CArchiveText() = default;

    // Throws CArchiveError (RefusedText) when `text` is unstorable; `position`
    // is its 1-based place in a batch, 0 for a single text.
    static void Refuse(std::string_view text, size_t position);
};

} // namespace zrv
