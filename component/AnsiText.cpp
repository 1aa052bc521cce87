#include "component/AnsiText.h"

#include "runtime/com/AnsiText.h"

#include <limits>
#include <new>

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
    return text ? com::ToAnsi(text) : std::string();
}

std::string ToAnsiCounted(BSTR text)
{
    return text ? com::ToAnsi(std::u16string_view(text, SysStringLen(text))) : std::string();
}

std::string_view ToAnsiCounted(BSTR text, std::string& buffer)
{
    const std::u16string_view wide =
        text ? std::u16string_view(text, SysStringLen(text)) : std::u16string_view();
    if (buffer.size() < wide.size())
        buffer.resize(wide.size());
    // Narrowed on the chance that it is ASCII, in one pass that vectorises.
    char* const out = buffer.data();
    char16_t bits = 0;
    for (size_t i = 0; i < wide.size(); ++i) {
        bits |= wide[i];
        out[i] = static_cast<char>(wide[i]);
    }
    if (bits < 0x80)
        return std::string_view(buffer).substr(0, wide.size());
    buffer = ToAnsiCounted(text);
    return buffer;
}

std::u16string ToWide(const std::string& text)
{
    return com::FromAnsi(text);
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
