#include "fortarc/Json.h"

#include "fortarc/ConsoleText.h"

#include <cstdio>

namespace fortarc {

namespace {

std::string EscapedCodePoint(unsigned codePoint)
{
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", codePoint);
    return escaped;
}

} // namespace

std::string JsonString(std::u16string_view text)
{
    const std::string utf8 = ToUtf8(text);
    std::string result;
    result.reserve(utf8.size() + 2);
    result += '"';
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        // DEL and the C1 controls (U+0080-U+009F: C2 80 to C2 9F in UTF-8)
        // are escaped too, so that no control character reaches a terminal.
        const auto next = static_cast<unsigned char>(i + 1 < utf8.size() ? utf8[i + 1] : 0);
        if (c == '\x7f') {
            result += EscapedCodePoint(0x7f);
            continue;
        }
        if (c == '\xc2' && next >= 0x80 && next <= 0x9f) {
            result += EscapedCodePoint(next);
            ++i;
            continue;
        }
        switch (c) {
        case '"':
            result += "\\\"";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                result += EscapedCodePoint(static_cast<unsigned char>(c));
            } else {
                result += c;
            }
        }
    }
    result += '"';
    return result;
}

} // namespace fortarc
