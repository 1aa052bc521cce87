#include "runtime/com/CodePage.h"

#include "tests/support/TempHome.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

std::string Narrow(UINT cp, std::u16string_view wide, LPCSTR defaultChar = nullptr,
                   BOOL* usedDefault = nullptr)
{
    const int cch = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(cp, 0, wide.data(), cch, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    const int written =
        WideCharToMultiByte(cp, 0, wide.data(), cch, out.data(), size, defaultChar, usedDefault);
    return written == size
               ? out
               : "<size " + std::to_string(size) + " wrote " + std::to_string(written) + ">";
}

std::u16string Widen(UINT cp, std::string_view bytes, DWORD flags = 0)
{
    const int cb = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(cp, flags, bytes.data(), cb, nullptr, 0);
    if (size == 0)
        return u"<failed>";
    std::u16string out(static_cast<size_t>(size), u'\0');
    const int written = MultiByteToWideChar(cp, flags, bytes.data(), cb, out.data(), size);
    return written == size ? out : u"<failed>";
}

// Sets LC_CTYPE for one test and puts the C locale back afterwards.
class LocaleScope final {
public:
    explicit LocaleScope(const char* name) : m_ok(std::setlocale(LC_CTYPE, name) != nullptr) {}
    ~LocaleScope() { std::setlocale(LC_CTYPE, "C"); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

struct Utf8Case {
    const char* what;
    std::u16string wide;
    std::string bytes;
};

class CodePageUtf8 : public testing::TestWithParam<Utf8Case> {};

// Under the C locale CP_ACP is UTF-8; both directions agree on valid text.
TEST_P(CodePageUtf8, cLocale_roundTripsBothWays)
{
    const LocaleScope c("C");
    EXPECT_EQ(Narrow(CP_ACP, GetParam().wide), GetParam().bytes);
    EXPECT_EQ(Widen(CP_ACP, GetParam().bytes), GetParam().wide);
    EXPECT_EQ(Narrow(CP_UTF8, GetParam().wide), GetParam().bytes);
    EXPECT_EQ(GetACP(), CP_UTF8);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageUtf8,
    testing::Values(Utf8Case{"ascii", u"plain text", "plain text"},
                    Utf8Case{"latin", u"caf\u00E9", "caf\xC3\xA9"},
                    Utf8Case{"cjk", u"\u4E2D\u6587", "\xE4\xB8\xAD\xE6\x96\x87"},
                    Utf8Case{"pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
                    Utf8Case{"nulInside", std::u16string(u"a\0b", 3), std::string("a\0b", 3)}),
    [](const auto& p) { return std::string(p.param.what); });

struct InvalidCase {
    const char* what;
    std::string bytes;
    std::u16string wide;
};

class CodePageInvalidUtf8 : public testing::TestWithParam<InvalidCase> {};

// Each ill-formed sequence becomes one U+FFFD per maximal invalid part.
TEST_P(CodePageInvalidUtf8, invalidBytes_becomeReplacementCharacters)
{
    EXPECT_EQ(Widen(CP_UTF8, GetParam().bytes), GetParam().wide);
    EXPECT_EQ(Widen(CP_UTF8, GetParam().bytes, MB_ERR_INVALID_CHARS), u"<failed>");
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageInvalidUtf8,
    testing::Values(InvalidCase{"stray",
                                "a\xFF"
                                "b",
                                u"a\uFFFDb"},
                    InvalidCase{"truncated", "\xE2\x82", u"\uFFFD"},
                    InvalidCase{"truncatedThenAscii", "\xE2\x82x", u"\uFFFDx"},
                    InvalidCase{"overlong", "\xC0\xAF", u"\uFFFD\uFFFD"},
                    InvalidCase{"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                    InvalidCase{"beyondUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}),
    [](const auto& p) { return std::string(p.param.what); });

TEST(CodePage, loneSurrogate_becomesReplacementInUtf8)
{
    EXPECT_EQ(Narrow(CP_UTF8, std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Narrow(CP_UTF8, u"x" + std::u16string(1, char16_t(0xDC00))), "x\xEF\xBF\xBD");
}

TEST(CodePage, sizeRules_followTheHomePlatform)
{
    const LocaleScope c("C");
    // -1: through the NUL, which is counted.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, nullptr, 0, nullptr, nullptr),
              6);
    char small[5] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, small, 5, nullptr, nullptr), 0);
    char exact[6] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, exact, 6, nullptr, nullptr), 6);
    EXPECT_STREQ(exact, "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3);
    // Zero-length and null input are invalid.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"a", 0, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, 3, nullptr, 0), 0);
    EXPECT_EQ(MultiByteToWideChar(12345678, 0, "a", 1, nullptr, 0), 0);
}

TEST(CodePage, longNonAsciiText_convertsWhole)
{
    const std::u16string wide(20000, u'\u00E9');
    const std::string bytes = Narrow(CP_UTF8, wide);
    EXPECT_EQ(bytes.size(), 40000u);
    EXPECT_EQ(Widen(CP_UTF8, bytes), wide);
}

// A locale with a single-byte codeset, generated into the test's own folder.
class CodePageLatin1 : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string dir = zrv::test::MakeTempDir("locales");
        const std::string command =
            "localedef -i en_US -f ISO-8859-1 " + dir + "/en_US.ISO-8859-1 >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            setenv("LOCPATH", dir.c_str(), 1);
            s_available = true;
        }
    }

    void SetUp() override
    {
        if (!s_available)
            GTEST_SKIP() << "localedef cannot generate en_US.ISO-8859-1 here";
        m_scope = std::make_unique<LocaleScope>("en_US.ISO-8859-1");
        if (!m_scope->ok())
            GTEST_SKIP() << "generated locale does not load";
    }

    inline static bool s_available = false;
    std::unique_ptr<LocaleScope> m_scope;
};

TEST_F(CodePageLatin1, knownCharacters_mapToSingleBytes)
{
    EXPECT_EQ(GetACP(), 28591u);
    EXPECT_EQ(Narrow(CP_ACP, u"caf\u00E9 \u00FF"), "caf\xE9 \xFF");
    EXPECT_EQ(Widen(CP_ACP, "caf\xE9 \xFF"), u"caf\u00E9 \u00FF");
    EXPECT_EQ(Widen(CP_ACP, "\x80\x9F"), u"\u0080\u009F");
}

TEST_F(CodePageLatin1, missingCharacters_becomeQuestionMarks)
{
    BOOL usedDefault = FALSE;
    EXPECT_EQ(Narrow(CP_ACP, u"a\u4E2Db\U0001F600c", nullptr, &usedDefault), "a?b?c");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(Narrow(CP_ACP, u"x\u20ACy", "#", &usedDefault), "x#y");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(Narrow(CP_ACP, u"plain", nullptr, &usedDefault), "plain");
    EXPECT_FALSE(usedDefault);
    // UTF-8 stays available by number.
    EXPECT_EQ(Narrow(CP_UTF8, u"\u4E2D"), "\xE4\xB8\xAD");
}

TEST(CodePage, windowsCodePageByNumber_usesItsTable)
{
    EXPECT_EQ(Narrow(1252, u"\u20AC\u00E9"), "\x80\xE9");
    EXPECT_EQ(Widen(1252, "\x80\xE9"), u"\u20AC\u00E9");
    EXPECT_EQ(Narrow(28591, u"\u20AC"), "?");
}

} // namespace
