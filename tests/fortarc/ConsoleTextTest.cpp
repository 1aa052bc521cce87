// fortarc's console text: what the terminal's bytes become, what is refused
// and why, what a terminal is shown, and the line ends of both sides.

#include "fortarc/ConsoleText.h"

#include "fortarc/FortarcError.h"
#include "tests/support/Latin1Locale.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace fortarc;

// Makes UTF-8 the codeset of LC_CTYPE while it lives; C comes back after.
class Utf8Locale final {
public:
    Utf8Locale() : m_active(std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr) {}
    ~Utf8Locale() { std::setlocale(LC_CTYPE, "C"); }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;
    bool IsActive() const { return m_active; }

private:
    bool m_active;
};

std::string Printed(const std::u16string& text)
{
    return testing::PrintToString(ToUtf8(text));
}

TEST(FortarcConsoleText, utf8Bytes_readAsTheirTextOrAreRefusedWithTheReason)
{
    const Utf8Locale locale;
    ASSERT_TRUE(locale.IsActive());
    const struct {
        std::string bytes;
        std::u16string text; // when taken
        const char* refusal; // when refused, after the name
    } cases[] = {
        {"", u"", nullptr},
        {"plain", u"plain", nullptr},
        {"caf\xc3\xa9 \xe4\xb8\xad", u"caf\u00e9 \u4e2d", nullptr},
        {"\xf0\x9f\x98\x80", u"\U0001F600", nullptr},
        {"a\r\nb\tc\x1b", u"a\r\nb\tc\x1b", nullptr},
        {std::string("a\0b", 3), u"", " holds a NUL byte"},
        {"caf\xe9", u"", " is not valid text in the locale's character set"},
        {"\xc3", u"", " is not valid text in the locale's character set"},
        {"\xc0\xaf", u"", " is not valid text in the locale's character set"},
        {"\xed\xa0\x80", u"", " is not valid text in the locale's character set"},
        {"\xff", u"", " is not valid text in the locale's character set"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        try {
            EXPECT_EQ(FromConsole(c.bytes, "the text"), c.text);
            EXPECT_EQ(c.refusal, nullptr) << "taken";
        } catch (const FortarcError& error) {
            ASSERT_NE(c.refusal, nullptr) << error.what();
            EXPECT_EQ(error.Code(), ExitCode::BadText);
            EXPECT_EQ(static_cast<int>(error.Code()), 5);
            EXPECT_EQ(std::string(error.what()), std::string("the text") + c.refusal);
        }
    }
}

TEST(FortarcConsoleText, textsOutside_areShownOrWrittenInTheCodeset)
{
    {
        const Utf8Locale locale;
        ASSERT_TRUE(locale.IsActive());
        EXPECT_EQ(ShownText("ok \xc3\xa9"), u"ok \u00e9");
        EXPECT_EQ(ShownText("a\xff"
                            "b"),
                  u"a\uFFFDb");
        EXPECT_EQ(ShownText(""), u"");
        EXPECT_EQ(ToConsole(u"caf\u00e9 \u4e2d"), "caf\xc3\xa9 \xe4\xb8\xad");
        EXPECT_EQ(ToConsole(u""), "");
    }
    const zrv::test::Latin1Locale latin1;
    if (!latin1.IsActive())
        GTEST_SKIP() << "no ISO-8859-1 locale here";
    EXPECT_EQ(ToConsole(u"caf\u00e9 \u4e2d"), "caf\xe9 ?");
    EXPECT_EQ(FromConsole("caf\xe9", "the text"), u"caf\u00e9");
    EXPECT_EQ(ShownText("\xe9\xff"), u"\u00e9\u00ff");
    // UTF-8 whatever the locale.
    EXPECT_EQ(ToUtf8(u"caf\u00e9"), "caf\xc3\xa9");
}

TEST(FortarcConsoleText, visible_replacesEveryControlButTabAndLineFeed)
{
    const struct {
        std::u16string text;
        std::u16string shown;
    } cases[] = {
        {u"", u""},
        {u"a\tb\nc", u"a\tb\nc"},
        {u"a\r\nb", u"a\uFFFD\nb"},
        {u"\x1b[2J\a", u"\uFFFD[2J\uFFFD"},
        {std::u16string(1, u'\0'), u"\uFFFD"},
        {u"\x1f\x7f\x80\x85\x9b\x9f", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {u"\u00a0\u00e9 \u2028", u"\u00a0\u00e9 \u2028"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Visible(c.text), c.shown) << Printed(c.text);
}

TEST(FortarcConsoleText, errorLine_keepsAMessageOnOneLineWithoutControls)
{
    const struct {
        std::string message;
        std::string line;
    } cases[] = {
        {"no command given", "no command given"},
        {"unknown command \"a\nb\"", "unknown command \"a\\x0Ab\""},
        {"\r\t\x1b[1m", "\\x0D\\x09\\x1B[1m"},
        {std::string("nul\0", 4), "nul\\x00"},
        {"del\x7f", "del\\x7F"},
        {"c1 \xc2\x85\xc2\x9b\xc2\x9f", "c1 \\xC2\\x85\\xC2\\x9B\\xC2\\x9F"},
        {"kept \xc2\xa0\xc3\xa9 \xe2\x80\xa8", "kept \xc2\xa0\xc3\xa9 \xe2\x80\xa8"},
        {"lone \xc2", "lone \xc2"},
        {"\xe9 latin-1", "\xe9 latin-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorLine(c.message), c.line) << testing::PrintToString(c.message);
}

TEST(FortarcConsoleText, lineEnds_convertBetweenArchiveAndTerminal)
{
    const struct {
        std::u16string lf;   // as the terminal and fortune(6) files have it
        std::u16string crlf; // as the archive holds it
    } cases[] = {
        {u"", u""},         {u"a", u"a"},     {u"a\nb", u"a\r\nb"}, {u"\n\n", u"\r\n\r\n"},
        {u"a\rb", u"a\rb"}, {u"a\r", u"a\r"}, {u"\r", u"\r"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToCrLf(c.lf), c.crlf) << Printed(c.lf);
        EXPECT_EQ(ToLf(c.crlf), c.lf) << Printed(c.crlf);
    }
    // CR LF stays one line end; CR CR LF keeps its first CR.
    EXPECT_EQ(ToCrLf(u"a\r\nb\nc"), u"a\r\nb\r\nc");
    EXPECT_EQ(ToLf(u"a\r\r\nb"), u"a\r\nb");
    EXPECT_EQ(ToCrLf(u"a\r\r\nb"), u"a\r\r\nb");
}

TEST(FortarcConsoleText, percentLines_areFoundWhereTheyWouldSplitATextOrFile)
{
    const struct {
        std::u16string text; // LF line ends
        bool hasPercentLine;
        bool endsWithPercentLine;
    } cases[] = {
        {u"", false, false},         {u"%", true, false},         {u"%\nmore", true, false},
        {u"text\n%", true, true},    {u"a\n%\nb", true, false},   {u"a\n%%\nb", false, false},
        {u"a\n %\nb", false, false}, {u"a\n% \nb", false, false}, {u"50%", false, false},
        {u"a\n%\n", true, false},    {u"a\r\n%", true, true},     {u"\n%", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Printed(c.text));
        EXPECT_EQ(HasPercentLine(c.text), c.hasPercentLine);
        EXPECT_EQ(EndsWithPercentLine(c.text), c.endsWithPercentLine);
    }
}

} // namespace
