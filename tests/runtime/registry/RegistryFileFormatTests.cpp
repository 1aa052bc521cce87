#include "runtime/registry/RegFile.h"
#include "runtime/registry/WinReg.h"

#include <gtest/gtest.h>

using zrv::reg::RegFile;
using zrv::reg::RegFileKey;
using zrv::reg::RegFileValue;

namespace {

std::string Sz(const std::string& text)
{
    return text + '\0';
}

std::string Dword(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

RegFile ParseOk(const std::string& text)
{
    RegFile file;
    std::string error;
    EXPECT_TRUE(RegFile::Parse(text, file, error)) << error;
    return file;
}

} // namespace

TEST(RegistryFileFormat, formatThenParse_roundTripsEveryKindOfValue)
{
    RegFile file;
    file.keys.push_back({"HKEY_CURRENT_USER\\Software\\Zorva",
                         false,
                         {
                             {"", false, REG_SZ, Sz("default")},
                             {"Quotes", false, REG_SZ, Sz("say \"hi\"")},
                             {"Back\\slash", false, REG_SZ, Sz("C:\\path\\")},
                             {"Lines", false, REG_SZ, Sz("one\r\ntwo\nthree")},
                             {"Grüße", false, REG_SZ, Sz("日本語 ✓ é")},
                             {"Empty", false, REG_SZ, Sz("")},
                             {"Tab", false, REG_SZ, Sz("a\tb")},
                             {"Number", false, REG_DWORD, Dword(0xDEADBEEF)},
                             {"Bytes", false, REG_BINARY, std::string("\0\1\xff", 3)},
                             {"NoBytes", false, REG_BINARY, ""},
                             {"Long", false, REG_BINARY, std::string(200, '\x5a')},
                             {"Expand", false, REG_EXPAND_SZ, Sz("%HOME%/x")},
                             {"Odd", false, 0x1234, "raw"},
                             {"Unterminated", false, REG_SZ, "no terminator"},
                             {"Gone", true, 0, ""},
                         }});
    file.keys.push_back({"HKEY_LOCAL_MACHINE\\Software\\Old", true, {}});
    file.keys.push_back({"HKEY_CLASSES_ROOT", false, {}});

    const std::string text = file.Format();
    RegFile back;
    std::string error;
    ASSERT_TRUE(RegFile::Parse(text, back, error)) << error << "\n" << text;
    ASSERT_EQ(back.keys.size(), file.keys.size());
    for (size_t k = 0; k < file.keys.size(); ++k) {
        EXPECT_EQ(back.keys[k].path, file.keys[k].path);
        EXPECT_EQ(back.keys[k].remove, file.keys[k].remove);
        ASSERT_EQ(back.keys[k].values.size(), file.keys[k].values.size());
        for (size_t v = 0; v < file.keys[k].values.size(); ++v) {
            const RegFileValue& expected = file.keys[k].values[v];
            const RegFileValue& actual = back.keys[k].values[v];
            EXPECT_EQ(actual.name, expected.name);
            EXPECT_EQ(actual.remove, expected.remove) << expected.name;
            if (!expected.remove) {
                EXPECT_EQ(actual.type, expected.type) << expected.name;
                EXPECT_EQ(actual.data, expected.data) << expected.name;
            }
        }
    }
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    }
}

TEST(RegistryFileFormat, parseAcceptsWhatPeopleAndOtherToolsWrite)
{
    const std::string crlf = "Windows Registry Editor Version 5.00\r\n\r\n; a comment\r\n"
                             "[hkcu\\Software\\A\\]\r\n"
                             "  \"Name\" = \"value\"  \r\n"
                             "@=dword:1f\r\n"
                             "\"Wrapped\"=hex:01,02,\\\r\n"
                             "    03\r\n"
                             "[-HKLM\\Software\\B]\r\n";
    const RegFile file = ParseOk(crlf);
    ASSERT_EQ(file.keys.size(), 2u);
    EXPECT_EQ(file.keys[0].path, "HKEY_CURRENT_USER\\Software\\A");
    ASSERT_EQ(file.keys[0].values.size(), 3u);
    EXPECT_EQ(file.keys[0].values[0].data, Sz("value"));
    EXPECT_EQ(file.keys[0].values[1].name, "");
    EXPECT_EQ(file.keys[0].values[1].data, Dword(0x1f));
    EXPECT_EQ(file.keys[0].values[2].data, "\1\2\3");
    EXPECT_EQ(file.keys[1].path, "HKEY_LOCAL_MACHINE\\Software\\B");
    EXPECT_TRUE(file.keys[1].remove);

    // A UTF-8 byte-order mark, and a UTF-16LE file as the home platform writes it.
    const RegFile withBom =
        ParseOk("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKCR\\.x]\n@=\"é\"\n");
    EXPECT_EQ(withBom.keys.at(0).values.at(0).data, Sz("é"));
    const std::u16string wide =
        u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Ü]\r\n\"n\"=\"ä\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t unit : wide) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    const RegFile fromUtf16 = ParseOk(utf16);
    EXPECT_EQ(fromUtf16.keys.at(0).path, "HKEY_CURRENT_USER\\Ü");
    EXPECT_EQ(fromUtf16.keys.at(0).values.at(0).data, Sz("ä"));
}

TEST(RegistryFileFormat, malformedFileIsRefusedWithTheLineOfItsFirstFault)
{
    const std::string head =
        "Windows Registry Editor Version 5.00\n\n[HKCU\\Software]\n\"ok\"=\"fine\"\n";
    const struct {
        std::string text;
        int line;
    } cases[] = {
        {"REGEDIT4\n[HKCU\\A]\n", 1},
        {"", 1},
        {"Windows Registry Editor Version 5.00\n\"early\"=\"x\"\n", 2},
        {head + "[HKEY_NOWHERE\\A]\n", 5},
        {head + "[HKCU\\A\n", 5},
        {head + "\"bad\"=\"esc\\ape\"\n", 5},
        {head + "\"open\"=\"no end\n", 5},
        {head + "\"n\"=\"x\" trailing\n", 5},
        {head + "\"n\"=dword:123456789\n", 5},
        {head + "\"n\"=dword:xyz\n", 5},
        {head + "\"n\"=hex:0g\n", 5},
        {head + "\"n\"=hex:01,\n", 5},
        {head + "\"n\"=hex:001\n", 5},
        {head + "\"n\"=hex(2):41\n", 5},
        {head + "\"n\"=hex(zz):41\n", 5},
        {head + "\"n\"=text\n", 5},
        {head + "\"n\"\n", 5},
        {head + "name=\"x\"\n", 5},
        {head + "\"n\"=hex:01,\\\n", 6},
        {head + "[-HKCU\\Gone]\n\"n\"=\"x\"\n", 6},
        {head + "\"a\"=hex:01,\\\n  02\n\"b\"=bad\n", 7},
    };
    for (const auto& c : cases) {
        RegFile file;
        std::string error;
        EXPECT_FALSE(RegFile::Parse(c.text, file, error)) << c.text;
        EXPECT_EQ(error.substr(0, error.find(':')), "line " + std::to_string(c.line))
            << c.text << "\n"
            << error;
        EXPECT_TRUE(file.keys.empty());
    }
}
