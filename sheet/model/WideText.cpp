#include "sheet/model/WideText.h"

#include "runtime/com/AnsiText.h"

#include <new>

namespace zrv::sheet {

std::string ToUtf8(std::u16string_view text)
{
    return com::ToCodePage(CP_UTF8, text);
}

std::u16string FromUtf8(std::string_view text)
{
    return com::FromCodePage(CP_UTF8, text);
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
    return com::ToAnsi(path);
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
