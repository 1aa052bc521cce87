#include "fortarc/Json.h"

#include "fortarc/ConsoleText.h"

#include <cstdio>

namespace fortarc {

std::string JsonString(std::u16string_view text)
{
    const std::string utf8 = ToUtf8(text);
    std::string result;
    result.reserve(utf8.size() + 2);
    result += '"';
    for (const char c : utf8) {
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
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                result += escaped;
            } else {
                result += c;
            }
        }
    }
    result += '"';
    return result;
}

} // namespace fortarc
