#include "engine/CArchiveText.h"

#include "engine/CArchiveError.h"

namespace zrv {

namespace {

// Texts are handed out as NUL-terminated strings.
std::string_view UpToNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// Whether LF % LF occurs in the text, found from its "%", which is rare
// where line feeds are not.
bool HoldsSeparator(std::string_view text)
{
    for (size_t at = text.find('%', 1); at != std::string_view::npos && at + 1 < text.size();
         at = text.find('%', at + 1))
        if (text[at - 1] == '\n' && text[at + 1] == '\n')
            return true;
    return false;
}

} // namespace

const char* CArchiveText::Unstorable(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return "it holds a NUL byte";
    if (HoldsSeparator(text))
        return "it holds a line of only \"%\" after a bare line feed, which would split it";
    if (text.ends_with("\n%"))
        return "its last line holds only \"%\", which would be read as a separator";
    return nullptr;
}

void CArchiveText::Refuse(std::string_view text, size_t position)
{
    const char* const reason = Unstorable(text);
    if (!reason)
        return;
    const std::string which =
        position == 0 ? std::string("The text") : "Text " + std::to_string(position);
    throw CArchiveError(CArchiveError::Kind::RefusedText,
                        which + " cannot be stored so that it reads back as given: " + reason,
                        position);
}

std::string CArchiveText::HandedOut(std::string_view stored)
{
    return ToCrLf(UpToNul(stored));
}

std::string CArchiveText::TrimLineBreaks(const std::string& text)
{
    return std::string(Trimmed(text));
}

std::string_view CArchiveText::Trimmed(std::string_view text)
{
    const size_t last = text.find_last_not_of("\r\n");
    if (last == std::string_view::npos)
        return {};
    const size_t first = text.find_first_not_of("\r\n");
    return text.substr(first, last - first + 1);
}

std::string CArchiveText::ToCrLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    size_t copied = 0;
    for (size_t lineFeed = text.find('\n'); lineFeed != std::string_view::npos;
         lineFeed = text.find('\n', lineFeed + 1)) {
        if (lineFeed > 0 && text[lineFeed - 1] == '\r')
            continue;
        result.append(text.substr(copied, lineFeed - copied));
        result.push_back('\r');
        copied = lineFeed;
    }
    result.append(text.substr(copied));
    return result;
}

} // namespace zrv
