// WideCharToMultiByte and MultiByteToWideChar with the home platform's size
// rules over the runtime's transcoder.

#include "runtime/com/CodePage.h"

#include "runtime/com/Transcode.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <langinfo.h>
#include <optional>
#include <string>

namespace {

// The input length: -1 counts through the NUL; 0 and other negatives fail.
template <typename Char> bool InputLength(const Char* in, int count, size_t& length)
{
    if (!in || count == 0 || count < -1)
        return false;
    if (count > 0) {
        length = static_cast<size_t>(count);
        return true;
    }
    length = std::char_traits<Char>::length(in) + 1;
    return true;
}

// Copies result into out (or reports its size when outSize is 0); 0 when it
// does not fit or is too long to count.
template <typename Char> int Deliver(const std::basic_string<Char>& result, Char* out, int outSize)
{
    if (result.size() > static_cast<size_t>(INT_MAX))
        return 0;
    const int size = static_cast<int>(result.size());
    if (outSize == 0)
        return size;
    if (size > outSize)
        return 0;
    std::copy(result.begin(), result.end(), out);
    return size;
}

// The code set of cp, when the input can be counted (its length in length)
// and the output is given or its size is 0 (a size query).
template <typename In, typename Out>
std::optional<std::string> CodesetFor(UINT cp, const In* in, int countIn, size_t& length,
                                      const Out* out, int countOut)
{
    if (!InputLength(in, countIn, length) || countOut < 0 || (countOut > 0 && !out))
        return std::nullopt;
    return zrv::com::CodesetOf(cp);
}

} // namespace

extern "C" {

ZRVRT_API int WideCharToMultiByte(UINT cp, DWORD, LPCOLESTR wide, int cchWide, LPSTR out, int cbOut,
                                  LPCSTR defaultChar, BOOL* usedDefault)
{
    size_t length = 0;
    const auto codeset = CodesetFor(cp, wide, cchWide, length, out, cbOut);
    if (!codeset)
        return 0;
    const auto result = zrv::com::Narrow(*codeset, std::u16string_view(wide, length), defaultChar);
    if (!result)
        return 0;
    if (usedDefault)
        *usedDefault = result->usedDefault ? TRUE : FALSE;
    return Deliver(result->text, out, cbOut);
}

ZRVRT_API int MultiByteToWideChar(UINT cp, DWORD flags, LPCSTR in, int cbIn, LPOLESTR out,
                                  int cchOut)
{
    size_t length = 0;
    const auto codeset = CodesetFor(cp, in, cbIn, length, out, cchOut);
    if (!codeset)
        return 0;
    const auto result = zrv::com::Widen(*codeset, std::string_view(in, length));
    if (!result || (result->invalid && (flags & MB_ERR_INVALID_CHARS)))
        return 0;
    return Deliver(result->text, out, cchOut);
}

ZRVRT_API UINT GetACP(void)
{
    const std::string codeset = *zrv::com::CodesetOf(CP_ACP);
    if (codeset == "UTF-8")
        return CP_UTF8;
    if (codeset.rfind("ISO-8859-", 0) == 0)
        return 28590 + static_cast<UINT>(std::stoul(codeset.substr(9)));
    if (codeset.rfind("CP", 0) == 0 && codeset.size() > 2)
        return static_cast<UINT>(std::strtoul(codeset.c_str() + 2, nullptr, 10));
    if (codeset == "KOI8-R")
        return 20866;
    if (codeset == "GB18030")
        return 54936;
    return 0;
}

} // extern "C"
