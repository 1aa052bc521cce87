#include "component/AnsiText.h"

#include "runtime/com/AnsiText.h"

#include <new>

namespace zrv {

std::string ToAnsi(const OLECHAR* text)
{
    return text ? com::ToAnsi(text) : std::string();
}

std::u16string ToWide(const std::string& text)
{
    return com::FromAnsi(text);
}

BString ToBString(const std::string& text)
{
    BString result(ToWide(text));
    if (!result.get())
        throw std::bad_alloc();
    return result;
}

} // namespace zrv
