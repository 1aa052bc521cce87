// Texts between the archive and fortune(6) files: the one-pass conversions
// give what the plain conversions give, and a file splits into the entries
// strfile sees.

#include "fortarc/ConsoleText.h"
#include "fortarc/FortuneFile.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

template <typename Char>
std::basic_string<Char> RandomText(std::mt19937& random, const std::vector<Char>& alphabet,
                                   size_t longest)
{
    std::basic_string<Char> text(random() % (longest + 1), Char{});
    for (Char& c : text)
        c = alphabet[random() % alphabet.size()];
    return text;
}

TEST(FortuneText, fileText_isTheTextWithLfLineEndsInTheCodeset)
{
    std::mt19937 random(3);
    const std::vector<char16_t> ascii = {u'a', u'%', u'\r', u'\n', u' '};
    std::vector<char16_t> wider = ascii;
    wider.insert(wider.end(), {u'\u00e9', u'\u4e2d'});
    std::vector<std::u16string> texts = {u"",       u"%",           u"%\r\n",
                                         u"a\r\n%", u"a\r\n%\r\nb", u"\r%\n",
                                         u"%%\n",   u"a\r\r\nb",    u"\u00e9\r\n%"};
    for (int round = 0; round < 400; ++round)
        texts.push_back(RandomText(random, round % 2 ? ascii : wider, 12));
    for (const std::u16string& text : texts) {
        const std::u16string lf = fortarc::ToLf(text);
        std::string out = "before";
        const bool taken = fortarc::AppendFileText(text, out);
        const std::string label = testing::PrintToString(fortarc::ToUtf8(text));
        EXPECT_EQ(taken, !fortarc::HasPercentLine(lf)) << label;
        EXPECT_EQ(out, taken ? "before" + fortarc::ToConsole(lf) : "before") << label;
    }
}

// strfile's rule read line by line: a line of only the delimiter ends an
// entry, an empty entry is skipped, an entry loses the line end before its
// delimiter line.
std::vector<std::string> LineByLine(const std::string& text, char delimiter)
{
    std::vector<std::string> entries;
    std::string entry;
    bool started = false;
    size_t lineStart = 0;
    for (size_t lineEnd; (lineEnd = text.find('\n', lineStart)) != std::string::npos;
         lineStart = lineEnd + 1) {
        const std::string line = text.substr(lineStart, lineEnd - lineStart + 1);
        if (line == std::string{delimiter, '\n'}) {
            if (started && !entry.empty())
                entries.push_back(entry.substr(0, entry.size() - 1));
            entry.clear();
            started = false;
        } else {
            entry += line;
            started = true;
        }
    }
    entry += text.substr(lineStart);
    if (!entry.empty())
        entries.push_back(entry.back() == '\n' ? entry.substr(0, entry.size() - 1) : entry);
    return entries;
}

TEST(FortuneText, split_givesTheEntriesStrfileSees)
{
    std::mt19937 random(5);
    for (const char delimiter : {'%', '#'}) {
        const std::vector<char> alphabet = {'a', delimiter, '%', '\n', '\n', '\r'};
        std::vector<std::string> texts = {
            "", "%\n", "%\n%\n", "a\n%\nb", "a\n%\n\n%\nb\n%\n", "\n%\n", "a%\n%a\n", "#\n%\n#\n"};
        for (int round = 0; round < 500; ++round)
            texts.push_back(RandomText(random, alphabet, 24));
        for (const std::string& text : texts) {
            const std::vector<std::string_view> views = fortarc::SplitFortuneText(text, delimiter);
            const std::vector<std::string> entries(views.begin(), views.end());
            EXPECT_EQ(entries, LineByLine(text, delimiter))
                << testing::PrintToString(text) << " split at " << delimiter;
        }
    }
}

TEST(FortuneText, rot13_turnsLettersOnlyAndBackAgain)
{
    std::string text = "Hello, World %\n zZ aA 09";
    fortarc::Rot13(text);
    EXPECT_EQ(text, "Uryyb, Jbeyq %\n mM nN 09");
    fortarc::Rot13(text);
    EXPECT_EQ(text, "Hello, World %\n zZ aA 09");
}

} // namespace
