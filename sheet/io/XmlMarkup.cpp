#include "sheet/io/XmlMarkup.h"

#include "sheet/io/WorkbookLimits.h"

#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace zrv::sheet {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Any byte that cannot end a name or stand in markup around one.
constexpr std::array<bool, 256> kNameChars = [] {
    std::array<bool, 256> table{};
    table.fill(true);
    for (const unsigned char c : std::string_view(" \t\r\n<>/=\"'&!?;"))
        table[c] = false;
    return table;
}();

bool IsNameChar(char c)
{
    return kNameChars[static_cast<unsigned char>(c)];
}

bool IsAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

class MarkupScanner {
public:
    explicit MarkupScanner(std::string_view xml) : m_xml(xml) {}

    std::optional<std::string> Fault()
    {
        if (m_xml.starts_with("\xEF\xBB\xBF"))
            m_at = 3;
        while (m_at < m_xml.size() && !m_fault) {
            if (m_open.empty())
                Outside();
            else
                Text();
        }
        if (!m_fault && !m_rootClosed)
            m_fault = m_open.empty() ? "no root element" : "the document ends inside an element";
        return m_fault ? std::optional<std::string>(m_fault) : std::nullopt;
    }

private:
    // Between the prolog's parts and after the root: white space, comments,
    // processing instructions, and the root element once.
    void Outside()
    {
        while (m_at < m_xml.size() && IsSpace(m_xml[m_at]))
            ++m_at;
        if (m_at >= m_xml.size())
            return;
        if (m_xml[m_at] != '<')
            return Fail("text outside the root element");
        if (m_rootClosed && IsNameChar(Peek(1)))
            return Fail("a second root element");
        Markup(false);
    }

    void Text()
    {
        const std::size_t next = NextOf('<', '&');
        m_at = next;
        if (m_at >= m_xml.size())
            return;
        if (m_xml[m_at] == '&')
            return Reference();
        Markup(true);
    }

    // The position of the first `a` or `b` from here, or the end.
    std::size_t NextOf(char a, char b) const
    {
        const char* begin = m_xml.data() + m_at;
        const std::size_t rest = m_xml.size() - m_at;
        const void* first = std::memchr(begin, a, rest);
        const std::size_t upTo =
            first ? static_cast<std::size_t>(static_cast<const char*>(first) - begin) : rest;
        const void* second = std::memchr(begin, b, upTo);
        const std::size_t found =
            second ? static_cast<std::size_t>(static_cast<const char*>(second) - begin) : upTo;
        return m_at + found;
    }

    char Peek(std::size_t ahead) const
    {
        return m_at + ahead < m_xml.size() ? m_xml[m_at + ahead] : '\0';
    }

    void Markup(bool inside)
    {
        const std::string_view rest = m_xml.substr(m_at);
        if (rest.starts_with("<?"))
            return Instruction();
        if (rest.starts_with("<!--"))
            return SkipPast("-->", "an unterminated comment");
        if (inside && rest.starts_with("<![CDATA["))
            return SkipPast("]]>", "an unterminated CDATA section");
        if (rest.starts_with("<!"))
            return Fail("a document type or declaration");
        if (rest.starts_with("</"))
            return EndTag();
        StartTag();
    }

    void SkipPast(std::string_view end, const char* fault)
    {
        const std::size_t found = m_xml.find(end, m_at + 2);
        if (found == std::string_view::npos)
            return Fail(fault);
        m_at = found + end.size();
    }

    std::string_view Name()
    {
        const std::size_t start = m_at;
        while (m_at < m_xml.size() && IsNameChar(m_xml[m_at]))
            ++m_at;
        return m_xml.substr(start, m_at - start);
    }

    void SkipSpace()
    {
        while (m_at < m_xml.size() && IsSpace(m_xml[m_at]))
            ++m_at;
    }

    // liborcus reads a processing instruction (the XML declaration) as a
    // name with attributes.
    void Instruction()
    {
        m_at += 2;
        if (Name().empty())
            return Fail("a broken processing instruction");
        Attributes({"?>"}, "an unterminated processing instruction",
                   "a broken processing instruction");
    }

    void StartTag()
    {
        ++m_at;
        const std::string_view name = Name();
        if (name.empty())
            return Fail("a broken tag");
        const std::string_view end = Attributes({">", "/>"}, "an unterminated tag", "a broken tag");
        if (end == ">" && m_open.size() >= kMaxXmlDepth)
            Fail("elements nested too deep");
        else if (end == ">")
            m_open.push_back(name);
        else if (end == "/>")
            m_rootClosed = m_rootClosed || m_open.empty();
    }

    // Attributes, each after white space, up to one of `ends`; gives the end
    // met, or nothing after a fault.
    std::string_view Attributes(std::initializer_list<std::string_view> ends,
                                const char* unterminated, const char* broken)
    {
        while (!m_fault) {
            const bool spaced = m_at < m_xml.size() && IsSpace(m_xml[m_at]);
            SkipSpace();
            if (m_at >= m_xml.size()) {
                Fail(unterminated);
                break;
            }
            for (const std::string_view end : ends) {
                if (m_xml.substr(m_at).starts_with(end)) {
                    m_at += end.size();
                    return end;
                }
            }
            if (!spaced)
                Fail(broken);
            else
                Attribute();
        }
        return {};
    }

    void Attribute()
    {
        if (Name().empty())
            return Fail("a broken attribute");
        SkipSpace();
        if (Peek(0) != '=')
            return Fail("an attribute without a value");
        ++m_at;
        SkipSpace();
        const char quote = Peek(0);
        if (quote != '"' && quote != '\'')
            return Fail("an attribute value without quotes");
        ++m_at;
        while (!m_fault) {
            const std::size_t next = NextOf(quote, '&');
            const std::string_view value = m_xml.substr(m_at, next - m_at);
            if (next >= m_xml.size() || value.find('<') != std::string_view::npos)
                return Fail("an unterminated attribute value");
            m_at = next;
            if (m_xml[m_at] == quote) {
                ++m_at;
                return;
            }
            Reference();
        }
    }

    void EndTag()
    {
        m_at += 2;
        const std::string_view name = Name();
        SkipSpace();
        if (Peek(0) != '>')
            return Fail("an unterminated end tag");
        ++m_at;
        if (m_open.empty() || m_open.back() != name)
            return Fail("an end tag that closes no open element");
        m_open.pop_back();
        m_rootClosed = m_open.empty();
    }

    // "&name;", "&#digits;" or "&#xhex;", a short one.
    void Reference()
    {
        constexpr std::size_t kLongest = 64;
        ++m_at;
        if (Peek(0) == '#') {
            ++m_at;
            if (Peek(0) == 'x')
                ++m_at;
        }
        const std::size_t start = m_at;
        while (m_at < m_xml.size() && m_at - start < kLongest &&
               (IsAsciiAlnum(m_xml[m_at]) || std::strchr("_:.-", m_xml[m_at]) != nullptr))
            ++m_at;
        if (m_at == start || Peek(0) != ';')
            return Fail("a broken character reference");
        ++m_at;
    }

    void Fail(const char* fault) { m_fault = fault; }

    std::string_view m_xml;
    std::size_t m_at = 0;
    std::vector<std::string_view> m_open;
    bool m_rootClosed = false;
    const char* m_fault = nullptr;
};

} // namespace

std::optional<std::string> XmlMarkupFault(std::string_view xml)
{
    return MarkupScanner(xml).Fault();
}

} // namespace zrv::sheet
