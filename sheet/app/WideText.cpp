#include "sheet/app/WideText.h"

#include "runtime/com/CodePage.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace zrv::sheet {

namespace {

int CheckedSize(size_t size)
{
    if (size > static_cast<size_t>(std::numeric_limits<int>::max() / 4))
        throw std::bad_alloc();
    return static_cast<int>(size);
}

std::string Narrow(UINT codePage, std::u16string_view text)
{
    if (text.empty())
        return {};
    const int units = CheckedSize(text.size());
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        throw std::runtime_error("the text does not convert to 8-bit characters");
    std::string result(static_cast<size_t>(size), '\0');
    const int written =
        WideCharToMultiByte(codePage, 0, text.data(), units, result.data(), size, nullptr, nullptr);
    result.resize(static_cast<size_t>(written > 0 ? written : 0));
    return result;
}

} // namespace

std::string ToUtf8(std::u16string_view text)
{
    return Narrow(CP_UTF8, text);
}

std::u16string FromUtf8(std::string_view text)
{
    if (text.empty())
        return {};
    const int bytes = CheckedSize(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, nullptr, 0);
    if (size <= 0)
        throw std::runtime_error("the text is not UTF-8");
    std::u16string result(static_cast<size_t>(size), u'\0');
    const int written = MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, result.data(), size);
    result.resize(static_cast<size_t>(written > 0 ? written : 0));
    return result;
}

BSTR AllocUtf8(std::string_view text)
{
    const std::u16string wide = FromUtf8(text);
    BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!result)
        throw std::bad_alloc();
    return result;
}

std::string ToAnsiPath(std::u16string_view path)
{
    return Narrow(CP_ACP, path);
}

size_t FileTextLength(std::u16string_view text)
{
    size_t length = text.size();
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n')
            --length;
    }
    return length;
}

} // namespace zrv::sheet
