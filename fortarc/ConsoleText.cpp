#include "fortarc/ConsoleText.h"

#include "fortarc/FortarcError.h"
#include "runtime/com/AsciiText.h"
#include "runtime/com/CodePage.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace fortarc {

namespace {

std::string Narrow(UINT codePage, std::u16string_view text)
{
    if (text.empty())
        return {};
    if (text.size() > static_cast<size_t>(INT_MAX / 4))
        return std::string(text.size(), '?');
    const auto length = static_cast<int>(text.size());
    // One pass in the common case: four bytes a unit hold any codeset's
    // longest sequence; only a larger need is measured first.
    std::string result(text.size() * 4, '\0');
    int size = WideCharToMultiByte(codePage, 0, text.data(), length, result.data(),
                                   static_cast<int>(result.size()), nullptr, nullptr);
    if (size <= 0) {
        size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        result.assign(static_cast<size_t>(size > 0 ? size : 0), '\0');
        if (size <= 0 || WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), size,
                                             nullptr, nullptr) != size)
            return std::string(text.size(), '?');
    }
    result.resize(static_cast<size_t>(size));
    return result;
}

// Takes out the CR of every CR LF in the `size` bytes at `text`, in place;
// the new size.
size_t DropCrBeforeLf(char* text, size_t size)
{
    char* to = text;
    const char* from = text;
    const char* const end = text + size;
    for (const char* cr = from;
         (cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<size_t>(end - cr))));
         ++cr) {
        if (cr + 1 == end || cr[1] != '\n')
            continue;
        std::memmove(to, from, static_cast<size_t>(cr - from));
        to += cr - from;
        from = cr + 1;
    }
    std::memmove(to, from, static_cast<size_t>(end - from));
    return static_cast<size_t>(to - text) + static_cast<size_t>(end - from);
}

} // namespace

std::u16string FromConsole(std::string_view bytes, const std::string& what)
{
    if (bytes.empty())
        return {};
    if (bytes.find('\0') != std::string_view::npos)
        throw FortarcError(ExitCode::BadText, what + " holds a NUL byte");
    if (bytes.size() > static_cast<size_t>(INT_MAX / 2))
        throw FortarcError(ExitCode::BadText, what + " is too long");
    const auto length = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    std::u16string result(static_cast<size_t>(size > 0 ? size : 0), u'\0');
    if (size <= 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length,
                                         result.data(), size) != size)
        throw FortarcError(ExitCode::BadText,
                           what + " is not valid text in the locale's character set");
    return result;
}

std::u16string ShownText(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX / 2))
        return {};
    const auto length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::u16string result(static_cast<size_t>(size > 0 ? size : 0), u'\0');
    if (size <= 0 ||
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, result.data(), size) != size)
        return std::u16string(bytes.size(), u'\uFFFD');
    return result;
}

std::string ToConsole(std::u16string_view text)
{
    return Narrow(CP_ACP, text);
}

std::string ToUtf8(std::u16string_view text)
{
    return Narrow(CP_UTF8, text);
}

std::u16string Visible(std::u16string_view text)
{
    std::u16string result(text);
    for (char16_t& c : result) {
        const bool control = c < u' ' || (c >= u'\x7f' && c <= u'\x9f');
        if (control && c != u'\t' && c != u'\n')
            c = u'\uFFFD';
    }
    return result;
}

std::string ErrorLine(std::string_view message)
{
    std::string line;
    line.reserve(message.size());
    for (size_t i = 0; i < message.size(); ++i) {
        const auto byte = static_cast<unsigned char>(message[i]);
        const auto next = static_cast<unsigned char>(i + 1 < message.size() ? message[i + 1] : 0);
        const size_t control = byte < 0x20 || byte == 0x7f                    ? 1
                               : byte == 0xc2 && next >= 0x80 && next <= 0x9f ? 2
                                                                              : 0;
        if (control == 0) {
            line += message[i];
            continue;
        }
        for (size_t k = 0; k < control; ++k) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned char>(message[i + k]));
            line += escaped;
        }
        i += control - 1;
    }
    return line;
}

std::u16string ToCrLf(std::u16string_view text)
{
    std::u16string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            result += u'\r';
        result += text[i];
    }
    return result;
}

std::u16string ToLf(std::u16string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    size_t from = 0;
    for (size_t pair = text.find(u"\r\n"); pair != std::u16string_view::npos;
         pair = text.find(u"\r\n", from)) {
        result.append(text.substr(from, pair - from));
        from = pair + 1; // the LF starts the next piece
    }
    result.append(text.substr(from));
    return result;
}

bool AppendFileText(std::u16string_view text, std::string& out)
{
    // ASCII is itself in every codeset: narrowed in a pass that vectorises,
    // then the CR of each CR LF taken out and the text searched for a line of
    // only "%", both from the rare character rather than from each unit.
    const size_t start = out.size();
    const size_t size = text.size();
    out.resize(start + size);
    char* const base = out.data() + start;
    char16_t bits = 0;
    for (size_t i = 0; i < size; ++i) {
        bits |= text[i];
        base[i] = static_cast<char>(text[i]);
    }
    if (bits >= 0x80) {
        out.resize(start);
        const std::u16string lf = ToLf(text);
        if (HasPercentLine(lf))
            return false;
        out += ToConsole(lf);
        return true;
    }
    const std::string_view lines(base, DropCrBeforeLf(base, size));
    for (size_t at = lines.find('%'); at != std::string_view::npos; at = lines.find('%', at + 1)) {
        if ((at == 0 || lines[at - 1] == '\n') &&
            (at + 1 == lines.size() || lines[at + 1] == '\n')) {
            out.resize(start);
            return false;
        }
    }
    out.resize(start + lines.size());
    return true;
}

bool HasPercentLine(std::u16string_view text)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        if (text.substr(start, end - start) == u"%")
            return true;
        start = end + 1;
    }
    return false;
}

bool EndsWithPercentLine(std::u16string_view text)
{
    return text.size() >= 2 && text.substr(text.size() - 2) == u"\n%";
}

} // namespace fortarc
