#include "runtime/registry/AnsiText.h"

#include "runtime/com/CodePage.h"

#include <vector>

namespace zrv::reg {

namespace {

std::u16string ToWide(UINT codePage, std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::u16string wide(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, std::u16string_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

bool AnsiIsUtf8()
{
    return GetACP() == CP_UTF8;
}

} // namespace

std::string AnsiToUtf8(std::string_view ansi)
{
    return AnsiIsUtf8() ? std::string(ansi) : FromWide(CP_UTF8, ToWide(CP_ACP, ansi));
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    return AnsiIsUtf8() ? std::string(utf8) : FromWide(CP_ACP, ToWide(CP_UTF8, utf8));
}

std::string AnsiToUtf16Le(std::string_view ansi)
{
    const std::u16string wide = ToWide(CP_ACP, ansi);
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (const char16_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string Utf16LeToAnsi(std::string_view utf16le)
{
    std::u16string wide;
    wide.reserve(utf16le.size() / 2);
    for (size_t i = 0; i + 1 < utf16le.size(); i += 2) {
        wide += static_cast<char16_t>(static_cast<unsigned char>(utf16le[i])
                                      | (static_cast<unsigned char>(utf16le[i + 1]) << 8));
    }
    return FromWide(CP_ACP, wide);
}

} // namespace zrv::reg
