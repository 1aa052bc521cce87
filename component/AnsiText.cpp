#include "component/AnsiText.h"

#include "runtime/com/CodePage.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace zrv {

namespace {

BString Allocated(BString text)
{
    if (!text.get())
        throw std::bad_alloc();
    return text;
}

} // namespace

std::string ToAnsi(const OLECHAR* text)
{
    if (!text || !*text)
        return {};
    // The first call measures: a UTF-16 unit can need several bytes.
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        throw std::runtime_error("text does not convert to the ANSI code page");
    std::string result(static_cast<size_t>(size), '\0');
    const int written =
        WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
    if (written <= 0)
        throw std::runtime_error("text does not convert to the ANSI code page");
    result.resize(static_cast<size_t>(written - 1)); // drop the converted NUL
    return result;
}

std::u16string ToWide(const std::string& text)
{
    if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max() / 2))
        throw std::bad_alloc();
    const int bytes = static_cast<int>(text.size());
    std::u16string wide;
    if (bytes == 0)
        return wide;
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
    if (size <= 0)
        throw std::runtime_error("text does not convert from the ANSI code page");
    wide.resize(static_cast<size_t>(size));
    const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, wide.data(), size);
    if (written <= 0)
        throw std::runtime_error("text does not convert from the ANSI code page");
    wide.resize(static_cast<size_t>(written));
    return wide;
}

BString ToBString(const std::string& text)
{
    // Text rarely needs more UTF-16 units than it has bytes: one conversion
    // straight into a string of that length, cut to what it gave. Only when
    // that does not fit is the text measured first.
    const size_t bytes = text.size();
    if (bytes > 0 && bytes <= static_cast<size_t>(std::numeric_limits<int>::max() / 2)) {
        BString result = BString::attach(SysAllocStringLen(nullptr, static_cast<UINT>(bytes)));
        if (!result.get())
            throw std::bad_alloc();
        const int length = static_cast<int>(bytes);
        const int written =
            MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.get(), length);
        if (written == length)
            return result;
        if (written > 0)
            return Allocated(BString(result.view().substr(0, static_cast<size_t>(written))));
    }
    return Allocated(BString(ToWide(text)));
}

} // namespace zrv
