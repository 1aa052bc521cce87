// Archive bytes and spreadsheet cells reach the runtime as text of any shape.
// For any bytes: the UTF-8 decoder agrees with iconv wherever the input is
// valid, its output re-encodes and decodes to itself, and numbers parsed from
// the text convert back and forth without change.

#include "runtime/com/CodePage.h"
#include "runtime/com/OleAuto.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>

namespace {

std::u16string Widen(const std::string& bytes, DWORD flags)
{
    if (bytes.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, flags, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(size), u'\0');
    if (size && MultiByteToWideChar(CP_UTF8, flags, bytes.data(), static_cast<int>(bytes.size()),
                                    out.data(), size) != size)
        std::abort();
    return out;
}

std::string Narrow(const std::u16string& wide)
{
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                            size, nullptr, nullptr) != size)
        std::abort();
    return out;
}

// glibc's strict decoder; nullopt-like empty flag when it refuses the input.
bool IconvUtf16(const std::string& bytes, std::u16string& out)
{
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string buffer(bytes.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    const bool ok =
        iconv(cd, &in, &inLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && inLeft == 0;
    iconv_close(cd);
    out.assign(reinterpret_cast<const char16_t*>(buffer.data()), (buffer.size() - dstLeft) / 2);
    return ok;
}

void CheckText(const std::string& bytes)
{
    const std::u16string lenient = Widen(bytes, 0);
    const std::u16string strict = Widen(bytes, MB_ERR_INVALID_CHARS);
    std::u16string reference;
    const bool valid = IconvUtf16(bytes, reference);
    if (valid != (strict.size() || bytes.empty()))
        std::abort();
    if (valid && (strict != reference || lenient != reference || Narrow(lenient) != bytes))
        std::abort();
    // Replacement characters are valid text: a second round changes nothing.
    if (Widen(Narrow(lenient), MB_ERR_INVALID_CHARS) != lenient)
        std::abort();
}

void CheckNumber(const std::u16string& text)
{
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    VARIANT number;
    VariantInit(&number);
    if (VariantChangeType(&number, &source, 0, VT_I4) == S_OK) {
        VARIANT back;
        VariantInit(&back);
        VARIANT again;
        VariantInit(&again);
        if (VariantChangeType(&back, &number, 0, VT_BSTR) != S_OK ||
            VariantChangeType(&again, &back, 0, VT_I4) != S_OK || again.lVal != number.lVal)
            std::abort();
        VariantClear(&back);
    }
    VARIANT real;
    VariantInit(&real);
    VariantChangeType(&real, &source, 0, VT_R8);
    VariantClear(&source);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckText(bytes);
    CheckNumber(Widen(bytes, 0));
    return 0;
}
