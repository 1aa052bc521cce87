#include "runtime/registry/RegFile.h"

#include "runtime/registry/AnsiText.h"
#include "runtime/registry/RootedKey.h"
#include "runtime/registry/WinReg.h"

#include <cstdio>
#include <optional>

namespace zrv::reg {

namespace {

constexpr std::string_view Header = "Windows Registry Editor Version 5.00";
constexpr size_t LineWidth = 80;

bool IsUtf16Type(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == 7;
}

std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimLeft(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A number of 1 to 8 hex digits.
std::optional<DWORD> ParseHexNumber(std::string_view text)
{
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    DWORD value = 0;
    for (const char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<DWORD>(digit);
    }
    return value;
}

// The text as UTF-8, converted from UTF-16LE when it starts with that byte-order mark.
std::string DecodeFile(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        return std::string(text.substr(3));
    if (text.substr(0, 2) == "\xFF\xFE") {
        const std::string ansi = Utf16LeToAnsi(text.substr(2));
        return AnsiToUtf8(ansi);
    }
    return std::string(text);
}

class CParser final {
public:
    CParser(std::string_view text, RegFile& file) : m_text(text), m_file(file) {}

    bool Run(std::string& error)
    {
        if (!ParseLines()) {
            error = "line " + std::to_string(m_lineNumber) + ": " + m_error;
            return false;
        }
        return true;
    }

private:
    bool Fail(std::string what)
    {
        m_error = std::move(what);
        return false;
    }

    // The next physical line without its line end; false at the end.
    bool ReadLine(std::string_view& line)
    {
        if (m_pos > m_text.size())
            return false;
        const size_t end = m_text.find('\n', m_pos);
        const size_t stop = end == std::string_view::npos ? m_text.size() : end;
        line = m_text.substr(m_pos, stop - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_pos = stop + 1;
        ++m_lineNumber;
        return true;
    }

    bool ParseLines()
    {
        std::string_view line;
        if (!ReadLine(line) || TrimRight(line) != Header)
            return Fail("the file does not start with \"" + std::string(Header) + "\"");
        while (ReadLine(line)) {
            const std::string_view content = TrimLeft(TrimRight(line));
            if (content.empty() || content.front() == ';')
                continue;
            const bool parsed = content.front() == '[' ? ParseKey(content) : ParseValue(content);
            if (!parsed)
                return false;
        }
        return true;
    }

    bool ParseKey(std::string_view line)
    {
        if (line.back() != ']')
            return Fail("a key line must end with ]");
        std::string_view path = line.substr(1, line.size() - 2);
        RegFileKey key;
        if (!path.empty() && path.front() == '-') {
            key.remove = true;
            path.remove_prefix(1);
        }
        RootedKey rooted;
        if (!ParseRootedKey(path, rooted))
            return Fail("unknown root key in [" + std::string(path) + "]");
        key.path = Utf8ToAnsi(rooted.FullPath());
        m_file.keys.push_back(std::move(key));
        return true;
    }

    bool ParseValue(std::string_view line)
    {
        if (m_file.keys.empty())
            return Fail("a value before the first [key]");
        if (m_file.keys.back().remove)
            return Fail("a value in a section that deletes its key");
        RegFileValue value;
        std::string_view rest = line;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else if (rest.front() == '"') {
            std::string name;
            if (!ParseQuoted(rest, name))
                return false;
            value.name = Utf8ToAnsi(name);
        } else {
            return Fail("expected a [key], \"name\" or @");
        }
        rest = TrimLeft(rest);
        if (rest.empty() || rest.front() != '=')
            return Fail("expected = after the value name");
        rest = TrimLeft(rest.substr(1));
        if (!ParseData(rest, value))
            return false;
        m_file.keys.back().values.push_back(std::move(value));
        return true;
    }

    // Reads "text" with \\ and \" escapes from the start of rest.
    bool ParseQuoted(std::string_view& rest, std::string& text)
    {
        for (size_t i = 1; i < rest.size(); ++i) {
            if (rest[i] == '"') {
                rest.remove_prefix(i + 1);
                return true;
            }
            if (rest[i] == '\\') {
                if (i + 1 >= rest.size() || (rest[i + 1] != '\\' && rest[i + 1] != '"'))
                    return Fail("only \\\\ and \\\" may follow a backslash in quotes");
                ++i;
            }
            text += rest[i];
        }
        return Fail("a quoted text has no closing quote");
    }

    bool ParseData(std::string_view rest, RegFileValue& value)
    {
        if (rest == "-") {
            value.remove = true;
            return true;
        }
        if (!rest.empty() && rest.front() == '"') {
            std::string text;
            if (!ParseQuoted(rest, text))
                return false;
            if (!TrimLeft(rest).empty())
                return Fail("unexpected text after the closing quote");
            value.type = REG_SZ;
            value.data = Utf8ToAnsi(text) + '\0';
            return true;
        }
        if (rest.substr(0, 6) == "dword:") {
            const auto number = ParseHexNumber(rest.substr(6));
            if (!number)
                return Fail("dword: needs 1 to 8 hex digits");
            value.type = REG_DWORD;
            value.data.assign(reinterpret_cast<const char*>(&*number), sizeof(DWORD));
            return true;
        }
        return ParseHex(rest, value);
    }

    bool ParseHex(std::string_view rest, RegFileValue& value)
    {
        if (rest.substr(0, 4) == "hex:") {
            value.type = REG_BINARY;
            rest.remove_prefix(4);
        } else if (rest.substr(0, 4) == "hex(") {
            const size_t close = rest.find("):");
            const auto type = close == std::string_view::npos
                                  ? std::nullopt
                                  : ParseHexNumber(rest.substr(4, close - 4));
            if (!type)
                return Fail("hex(n): needs a type of 1 to 8 hex digits");
            value.type = *type;
            rest.remove_prefix(close + 2);
        } else {
            return Fail("unknown value data: expected \"text\", dword:, hex:, hex(n): or -");
        }
        std::string bytes;
        if (!ParseHexBytes(rest, bytes))
            return false;
        if (IsUtf16Type(value.type)) {
            if (bytes.size() % 2 != 0)
                return Fail("UTF-16 text data needs an even number of bytes");
            bytes = Utf16LeToAnsi(bytes);
        }
        value.data = std::move(bytes);
        return true;
    }

    // Comma-separated bytes; a line ending in a backslash continues on the next.
    bool ParseHexBytes(std::string_view rest, std::string& bytes)
    {
        std::string joined(rest);
        while (!joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            std::string_view next;
            if (!ReadLine(next))
                return Fail("the file ends inside a continued line");
            joined += TrimLeft(TrimRight(next));
        }
        std::string_view list = TrimRight(joined);
        if (list.empty())
            return true;
        while (true) {
            list = TrimLeft(list);
            const size_t comma = list.find(',');
            const std::string_view item = TrimRight(list.substr(0, comma));
            if (item.empty() || item.size() > 2 || HexDigit(item[0]) < 0 ||
                (item.size() == 2 && HexDigit(item[1]) < 0))
                return Fail("hex data must be bytes of two hex digits separated by commas");
            bytes += static_cast<char>(
                item.size() == 1 ? HexDigit(item[0]) : HexDigit(item[0]) * 16 + HexDigit(item[1]));
            if (comma == std::string_view::npos)
                return true;
            list.remove_prefix(comma + 1);
        }
    }

    std::string_view m_text;
    RegFile& m_file;
    size_t m_pos = 0;
    int m_lineNumber = 0;
    std::string m_error;
};

std::string Quote(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// Whether string data can be written as "text": one terminator at its end,
// no line breaks and no other control characters a line could not hold.
bool FitsQuotes(const std::string& data)
{
    if (data.empty() || data.back() != '\0')
        return false;
    for (size_t i = 0; i + 1 < data.size(); ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x20 && c != '\t')
            return false;
    }
    return true;
}

std::string HexLine(std::string prefix, std::string_view bytes)
{
    std::string out = std::move(prefix);
    size_t lineStart = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char item[4];
        std::snprintf(item, sizeof item, "%02x", static_cast<unsigned char>(bytes[i]));
        out += item;
        if (i + 1 == bytes.size())
            break;
        out += ',';
        if (out.size() - lineStart > LineWidth - 4) {
            out += "\\\n  ";
            lineStart = out.size() - 2;
        }
    }
    return out;
}

// The value's whole line (wrapped lines included) without its line end.
std::string FormatValue(const RegFileValue& value)
{
    const std::string lead = (value.name.empty() ? "@" : Quote(AnsiToUtf8(value.name))) + "=";
    if (value.remove)
        return lead + "-";
    if (value.type == REG_SZ && FitsQuotes(value.data))
        return lead +
               Quote(AnsiToUtf8(std::string_view(value.data).substr(0, value.data.size() - 1)));
    if (value.type == REG_DWORD && value.data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        value.data.copy(reinterpret_cast<char*>(&number), sizeof number);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        return lead + text;
    }
    const std::string bytes = IsUtf16Type(value.type) ? AnsiToUtf16Le(value.data) : value.data;
    if (value.type == REG_BINARY)
        return HexLine(lead + "hex:", bytes);
    char type[20];
    std::snprintf(type, sizeof type, "hex(%x):", value.type);
    return HexLine(lead + type, bytes);
}

} // namespace

bool RegFile::Parse(std::string_view text, RegFile& file, std::string& error)
{
    file.keys.clear();
    const std::string decoded = DecodeFile(text);
    if (CParser(decoded, file).Run(error))
        return true;
    file.keys.clear();
    return false;
}

std::string RegFile::Format() const
{
    std::string out = std::string(Header) + "\n\n";
    for (const RegFileKey& key : keys) {
        out += (key.remove ? "[-" : "[") + AnsiToUtf8(key.path) + "]\n";
        for (const RegFileValue& value : key.values)
            out += FormatValue(value) + "\n";
        out += "\n";
    }
    return out;
}

} // namespace zrv::reg
