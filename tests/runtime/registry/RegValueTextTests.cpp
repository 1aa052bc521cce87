// Registry values as zrvreg reads them from its command line and shows them.

#include "runtime/registry/RegValueText.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using namespace zrv::reg;
using namespace std::string_literals;

TEST(RegValueText, dwordText_isDecimalOrHexWithin32Bits)
{
    const struct {
        const char* text;
        std::optional<DWORD> value;
    } cases[] = {
        {"0", 0u},
        {"42", 42u},
        {"4294967295", 0xFFFFFFFFu},
        {"0xFFFFFFFF", 0xFFFFFFFFu},
        {"0x1a", 0x1Au},
        {"4294967296", std::nullopt},
        {"0x100000000", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"0x", std::nullopt},
        {"12ab", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDword(c.text), c.value) << '"' << c.text << '"';
}

TEST(RegValueText, hexText_readsPairsOfDigitsOnly)
{
    const struct {
        const char* text;
        std::optional<std::string> bytes;
    } cases[] = {
        {"", ""s},
        {"00ff", "\0\xff"s},
        {"AbCd", "\xab\xcd"s},
        {"abc", std::nullopt},
        {"0G", std::nullopt},
        {"0x00", std::nullopt},
        {"00 ff", std::nullopt},
    };
    for (const auto& c : cases) {
        std::string bytes = "kept:";
        const bool read = ParseHexText(c.text, bytes);
        EXPECT_EQ(read, c.bytes.has_value()) << '"' << c.text << '"';
        if (read) {
            EXPECT_EQ(bytes, "kept:" + *c.bytes) << '"' << c.text << '"';
        }
    }
    EXPECT_EQ(HexText("\0\x7f\x80\xff"s), "007F80FF");
    EXPECT_EQ(HexText(""), "");
}

TEST(RegValueText, typeNames_readInAnyCaseAndShowAsTheToolNamesThem)
{
    const struct {
        DWORD type;
        const char* name;
    } named[] = {{REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
                 {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
                 {REG_DWORD, "REG_DWORD"},         {7, "REG_MULTI_SZ"}};
    for (const auto& c : named) {
        EXPECT_EQ(NameOfType(c.type), c.name);
        EXPECT_EQ(TypeOfName(c.name), c.type);
        EXPECT_EQ(TypeOfName(Lower(c.name)), c.type);
    }
    EXPECT_EQ(TypeOfName("Reg_Dword"), REG_DWORD);
    EXPECT_EQ(TypeOfName("REG_QWORD"), std::nullopt);
    EXPECT_EQ(TypeOfName("REG_SZ "), std::nullopt);
    EXPECT_EQ(TypeOfName(""), std::nullopt);
    EXPECT_EQ(NameOfType(9), "REG_0x9");
}

TEST(RegValueText, data_showsAsAQueryPrintsIt)
{
    const struct {
        DWORD type;
        std::string data;
        std::string shown;
    } cases[] = {
        {REG_SZ, "text\0"s, "text"s},
        {REG_SZ, "text"s, "text"s},
        {REG_SZ, ""s, ""s},
        {REG_SZ, "a\0b\0"s, "a\0b"s},
        {REG_EXPAND_SZ, "%HOME%\0"s, "%HOME%"s},
        {REG_DWORD, "\x78\x56\x34\x12"s, "0x12345678"s},
        {REG_DWORD, "\0\0\0\0"s, "0x0"s},
        {REG_DWORD, "\xff\xff\xff\xff"s, "0xffffffff"s},
        {REG_DWORD, "\x01\x02\x03"s, "010203"s},
        {REG_BINARY, "\0\x10"s, "0010"s},
        {REG_NONE, ""s, ""s},
        {7, "a\0b\0\0"s, "6100620000"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataText(c.type, c.data), c.shown)
            << NameOfType(c.type) << " " << HexText(c.data);
}

} // namespace
