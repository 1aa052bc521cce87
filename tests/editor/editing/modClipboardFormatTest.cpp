#include "editor/editing/modClipboardFormat.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace modClipboardFormat;

TEST(ClipboardFormat, recordsAreMarkerAndFullTextWithNothingElse)
{
    std::string text;
    AppendRecord(text, "abc");
    AppendRecord(text, "x\r\ny");
    EXPECT_EQ(text, std::string("//ZORVAFORTUNE//abc//ZORVAFORTUNE//x\r\ny"));
    const std::vector<std::string_view> expected = {"abc", "x\r\ny"};
    EXPECT_EQ(SplitFortunes(text), expected);
}

TEST(ClipboardFormat, splitting)
{
    using Fortunes = std::vector<std::string_view>;
    const struct {
        std::string_view text;
        Fortunes fortunes;
    } cases[] = {
        {"", {}},
        {"abc", {}},
        {" //ZORVAFORTUNE//abc", {}},
        {"\r\n//ZORVAFORTUNE//abc", {}},
        {"//ZORVAFORTUNE/abc", {}},
        {"//zorvafortune//abc", {"abc"}},
        {"//ZORVAFORTUNE//", {""}},
        {"//ZORVAFORTUNE////zOrVaFoRtUnE//b", {"", "b"}},
        {"//ZORVAFORTUNE//a//ZORVAFORTUNE//", {"a", ""}},
        // A fortune that holds the marker comes back as two.
        {"//ZORVAFORTUNE//see //ZORVAFORTUNE// here", {"see ", " here"}},
        {"//ZORVAFORTUNE//a/b//c///ZORVAFORTUNE/ //", {"a/b//c///ZORVAFORTUNE/ //"}},
        {"//ZORVAFORTUNE//one\r\ntwo\r\n//ZORVAFORTUNE//\r\nthree",
         {"one\r\ntwo\r\n", "\r\nthree"}},
        {"//ZORVAFORTUNE//Gr\xc3\xbc\xc3\x9f\x65", {"Gr\xc3\xbc\xc3\x9f\x65"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitFortunes(c.text), c.fortunes) << '"' << c.text << '"';
}
