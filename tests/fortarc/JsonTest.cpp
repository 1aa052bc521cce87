// fortarc's JSON strings: valid literals in UTF-8 whatever the text holds, and
// nothing in them that a terminal would take as a control character.

#include "fortarc/Json.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using fortarc::JsonString;

struct Literal {
    std::u16string text;
    std::string json;
};

TEST(FortarcJson, texts_becomeTheseLiterals)
{
    const Literal cases[] = {
        {u"", R"("")"},
        {u"Look before you leap.", R"("Look before you leap.")"},
        {u"say \"hi\"", R"("say \"hi\"")"},
        {u"C:\\path\\", R"("C:\\path\\")"},
        {u"\\\"", R"("\\\"")"},
        {u"a/b", R"("a/b")"},
        {u"line\r\nnext\ttab\n", R"("line\r\nnext\ttab\n")"},
        {std::u16string(1, u'\0'), R"("\u0000")"},
        {u"\b\f\v\x1b[31m", R"("\u0008\u000c\u000b\u001b[31m")"},
        {u"\x1f \x20", "\"\\u001f  \""},
        {u"\x7f", R"("\u007f")"},
        {u"\u0080\u0085\u009b\u009f", R"("\u0080\u0085\u009b\u009f")"},
        {u"\u00a0\u00e9", "\"\xc2\xa0\xc3\xa9\""},
        {u"\u4e2d\u6587", "\"\xe4\xb8\xad\xe6\x96\x87\""},
        {u"\u2028\u2029", "\"\xe2\x80\xa8\xe2\x80\xa9\""},
        {u"\U0001F600", "\"\xf0\x9f\x98\x80\""},
        {u"a\xd800z", "\"a\xef\xbf\xbdz\""},
        {u"\xdc00", "\"\xef\xbf\xbd\""},
        {u"%\n%", R"("%\n%")"},
    };
    for (const Literal& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json) << testing::PrintToString(c.json);
}

// Whether `json` is one string literal whose every character outside the
// escapes is printable: no C0, DEL or (UTF-8) C1 byte, no bare quote or
// backslash, and escapes only of the forms JSON knows.
bool IsCleanLiteral(const std::string& json)
{
    if (json.size() < 2 || json.front() != '"' || json.back() != '"')
        return false;
    for (size_t i = 1; i + 1 < json.size(); ++i) {
        const auto c = static_cast<unsigned char>(json[i]);
        const auto next = static_cast<unsigned char>(json[i + 1]);
        if (c < 0x20 || c == 0x7f || c == '"' || (c == 0xc2 && next >= 0x80 && next <= 0x9f))
            return false;
        if (c != '\\')
            continue;
        if (std::string("\"\\/bfnrt").find(static_cast<char>(next)) != std::string::npos) {
            ++i;
        } else if (next == 'u' && i + 5 < json.size() - 1 &&
                   json.substr(i + 2, 4).find_first_not_of("0123456789abcdef") ==
                       std::string::npos) {
            i += 5;
        } else {
            return false;
        }
    }
    return true;
}

TEST(FortarcJson, everyText_givesACleanLiteral)
{
    std::mt19937 random(11);
    const char16_t pool[] = {u'\0',   u'\t',     u'\n',  u'\r',   u'\x1b', u'"',    u'\\',
                             u'/',    u'%',      u'a',   u'\x7f', u'\x80', u'\x9b', u'\xa0',
                             u'\xe9', u'\u4e2d', 0xd83d, 0xde00,  0xdc00,  0xffff};
    for (int round = 0; round < 2000; ++round) {
        std::u16string text(random() % 12, u' ');
        for (char16_t& c : text)
            c = pool[random() % std::size(pool)];
        const std::string json = JsonString(text);
        EXPECT_TRUE(IsCleanLiteral(json)) << testing::PrintToString(json);
    }
    for (char32_t c = 0; c < 0x100; ++c)
        EXPECT_TRUE(IsCleanLiteral(JsonString(std::u16string(1, static_cast<char16_t>(c)))))
            << "U+" << std::hex << static_cast<unsigned>(c);
}

} // namespace
