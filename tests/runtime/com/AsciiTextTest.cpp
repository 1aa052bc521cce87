// The ASCII shortcuts give exactly what the code-page conversion gives, line
// ends included, and decline every text they cannot take.

#include "runtime/com/AsciiText.h"

#include "runtime/com/AnsiText.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using zrv::com::AsciiToBStringCrLf;

// What the component hands out without the shortcut: a CR before every LF
// that has none, then the code page's conversion.
std::u16string ThroughCodePage(std::string_view bytes)
{
    std::string crLf;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            crLf += '\r';
        crLf += bytes[i];
    }
    const int size =
        MultiByteToWideChar(CP_ACP, 0, crLf.data(), static_cast<int>(crLf.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(size), u'\0');
    MultiByteToWideChar(CP_ACP, 0, crLf.data(), static_cast<int>(crLf.size()), wide.data(), size);
    return wide;
}

std::string RandomAscii(std::mt19937& random, size_t length)
{
    static const char alphabet[] = {'a', 'Z', ' ', '%', '\r', '\n', '\t', '~'};
    std::string text(length, ' ');
    for (char& c : text)
        c = alphabet[random() % sizeof alphabet];
    return text;
}

TEST(AsciiText, widenedWithCrLf_asTheCodePageGivesIt)
{
    std::vector<std::string> texts = {"",       "\n",       "\r\n",  "\n\n",
                                      "\r",     "a\n",      "\na",   "a\r\r\nb",
                                      "%\n%\n", "\r\n\n\r", "plain", "x\r\ny\nz"};
    std::mt19937 random(7);
    // Long texts cross the blocks in which lone line feeds are counted.
    for (const size_t length : {254u, 255u, 256u, 511u, 1000u, 5000u})
        for (int round = 0; round < 20; ++round)
            texts.push_back(RandomAscii(random, length));
    std::string edges(600, 'x');
    for (const size_t at : {0u, 254u, 255u, 256u, 509u, 510u, 599u})
        edges[at] = '\n';
    texts.push_back(edges);
    for (const std::string& text : texts) {
        const BString fast = AsciiToBStringCrLf(text);
        ASSERT_NE(fast.get(), nullptr) << testing::PrintToString(text);
        EXPECT_EQ(fast.view(), ThroughCodePage(text)) << testing::PrintToString(text);
    }
}

TEST(AsciiText, textsThatNeedTheCodePage_areDeclined)
{
    for (const std::string& text :
         {std::string("caf\xc3\xa9"), std::string("a\0b", 3), std::string(300, 'x') + "\x80",
          std::string(1, '\xff'), std::string(1, '\0')}) {
        EXPECT_EQ(AsciiToBStringCrLf(text).get(), nullptr) << testing::PrintToString(text);
        EXPECT_EQ(zrv::com::IsAscii(text), text.find_first_of("\x80\xc3\xff") == std::string::npos);
    }
}

// The C entry points, which take no shortcut.
std::string Narrowed(std::u16string_view text)
{
    const auto length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::u16string Widened(std::string_view bytes)
{
    const auto length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::u16string text(static_cast<size_t>(size), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
    return text;
}

TEST(AsciiText, codePageConversions_giveWhatTheEntryPointsGive)
{
    std::mt19937 random(11);
    std::vector<std::u16string> texts = {u"plain",     std::u16string(u"\0nul", 4),
                                         u"caf\u00e9", u"\u4e2d\u6587",
                                         u"a\r\nb",    std::u16string(1, u'\x7f')};
    for (int round = 0; round < 50; ++round) {
        const std::string ascii = RandomAscii(random, 1 + random() % 400);
        texts.emplace_back(ascii.begin(), ascii.end());
    }
    for (const std::u16string& text : texts) {
        const std::string narrow = zrv::com::ToCodePage(CP_ACP, text);
        EXPECT_EQ(narrow, Narrowed(text));
        EXPECT_EQ(zrv::com::FromCodePage(CP_ACP, narrow), Widened(narrow));
    }
}

} // namespace
