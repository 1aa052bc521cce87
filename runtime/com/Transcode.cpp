#include "runtime/com/Transcode.h"

#include "runtime/com/CIconv.h"
#include "runtime/com/CodePage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <langinfo.h>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

namespace zrv::com {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Stands for a lone surrogate on its way to iconv, which refuses it.
constexpr char32_t kUnmappable = 0xFFFFFFFF;

const char* Utf32Host()
{
    return std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
}

bool IsAsciiName(std::string_view name)
{
    return name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII";
}

// --- UTF-16 ---------------------------------------------------------------

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Reads one code point at wide[i], advancing i; lone surrogates give lone.
char32_t NextCodePoint(std::u16string_view wide, size_t& i, char32_t lone)
{
    const char16_t u = wide[i++];
    if (IsHighSurrogate(u) && i < wide.size() && IsLowSurrogate(wide[i])) {
        const char16_t low = wide[i++];
        return 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00);
    }
    if (IsHighSurrogate(u) || IsLowSurrogate(u))
        return lone;
    return u;
}

void AppendUtf16(char32_t cp, std::u16string& out)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// --- UTF-8 ----------------------------------------------------------------

void AppendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

struct LeadByte {
    int trailing;      // continuation bytes that follow
    unsigned char low; // range of the first continuation byte
    unsigned char high;
};

// Well-formed UTF-8 lead bytes (Unicode table 3-7); trailing -1 for others.
LeadByte LeadOf(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {1, 0x80, 0xBF};
    if (b == 0xE0)
        return {2, 0xA0, 0xBF};
    if (b == 0xED)
        return {2, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {2, 0x80, 0xBF};
    if (b == 0xF0)
        return {3, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {3, 0x80, 0xBF};
    if (b == 0xF4)
        return {3, 0x80, 0x8F};
    return {-1, 0, 0};
}

// Decodes one character at bytes[i], advancing i. An ill-formed sequence
// gives U+FFFD and skips its longest valid prefix (at least one byte).
char32_t NextUtf8(std::string_view bytes, size_t& i, bool& invalid)
{
    const auto b = static_cast<unsigned char>(bytes[i++]);
    if (b < 0x80)
        return b;
    const LeadByte lead = LeadOf(b);
    if (lead.trailing < 0) {
        invalid = true;
        return kReplacement;
    }
    char32_t cp = b & (0x3F >> lead.trailing);
    for (int n = 0; n < lead.trailing; ++n) {
        const unsigned char low = n == 0 ? lead.low : 0x80;
        const unsigned char high = n == 0 ? lead.high : 0xBF;
        if (i >= bytes.size() || static_cast<unsigned char>(bytes[i]) < low ||
            static_cast<unsigned char>(bytes[i]) > high) {
            invalid = true;
            return kReplacement;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(bytes[i++]) & 0x3F);
    }
    return cp;
}

// --- iconv ----------------------------------------------------------------

// Descriptors are costly to open: each thread keeps the ones it used.
const CIconv& CachedIconv(const std::string& to, const std::string& from)
{
    thread_local std::map<std::string, std::unique_ptr<CIconv>> cache;
    auto& slot = cache[to + '\n' + from];
    if (!slot)
        slot = std::make_unique<CIconv>(to, from);
    slot->reset();
    return *slot;
}

// Runs the whole input through cd. onBad decides what an unconvertible or
// invalid input unit becomes and how many bytes of it to skip; false stops.
template <typename OnBad>
void RunIconv(const CIconv& cd, std::string_view input, std::string& out, OnBad onBad)
{
    auto* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    std::vector<char> buffer(input.size() * 4 + 16);
    while (true) {
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        const size_t rc = iconv(cd.handle(), inLeft ? &in : nullptr, &inLeft, &dst, &dstLeft);
        const int error = rc == static_cast<size_t>(-1) ? errno : 0;
        out.append(buffer.data(), static_cast<size_t>(dst - buffer.data()));
        if (error == 0 && inLeft == 0) {
            if (in == nullptr)
                return;
            in = nullptr; // one more round flushes the shift state
            continue;
        }
        if (error == E2BIG)
            continue;
        const size_t skip = onBad(out, error);
        if (skip == 0 || skip > inLeft)
            return;
        in += skip;
        inLeft -= skip;
    }
}

bool IsUtf8(const std::string& codeset)
{
    return codeset == "UTF-8";
}

// Length of the run of ASCII units at `from`.
template <typename Char> size_t AsciiRun(std::basic_string_view<Char> text, size_t from)
{
    size_t end = from;
    while (end < text.size() && static_cast<std::make_unsigned_t<Char>>(text[end]) < 0x80)
        ++end;
    return end - from;
}

// Runs of ASCII, most of most texts, are copied in one step without decoding.
template <typename To, typename From> void AppendAscii(To& out, std::basic_string_view<From> run)
{
    const size_t at = out.size();
    out.resize(at + run.size());
    std::copy(run.begin(), run.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

// The text with its ASCII runs copied as they are; convert takes each other
// character at i, moves i past it and appends it to the result.
template <typename Result, typename Char, typename Convert>
Result Recode(std::basic_string_view<Char> in, const Convert& convert)
{
    Result result;
    result.text.reserve(in.size());
    for (size_t i = 0; i < in.size();) {
        if (const size_t run = AsciiRun(in, i)) {
            AppendAscii(result.text, in.substr(i, run));
            i += run;
        } else {
            convert(i, result);
        }
    }
    return result;
}

NarrowResult NarrowUtf8(std::u16string_view wide)
{
    return Recode<NarrowResult>(wide, [wide](size_t& i, NarrowResult& result) {
        AppendUtf8(NextCodePoint(wide, i, kReplacement), result.text);
    });
}

WideResult WidenUtf8(std::string_view bytes)
{
    return Recode<WideResult>(bytes, [bytes](size_t& i, WideResult& result) {
        AppendUtf16(NextUtf8(bytes, i, result.invalid), result.text);
    });
}

} // namespace

std::optional<std::string> CodesetOf(UINT codePage)
{
    switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP: {
        const std::string name = nl_langinfo(CODESET);
        return IsAsciiName(name) ? std::string("UTF-8") : name;
    }
    case CP_UTF8:
        return std::string("UTF-8");
    case 65000:
        return std::string("UTF-7");
    case 20127:
        return std::string("ASCII");
    case 20866:
        return std::string("KOI8-R");
    case 54936:
        return std::string("GB18030");
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28605)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    if (codePage >= 37 && codePage <= 1258)
        return "CP" + std::to_string(codePage);
    return std::nullopt;
}

std::optional<NarrowResult> Narrow(const std::string& codeset, std::u16string_view wide,
                                   const char* defaultChar)
{
    if (IsUtf8(codeset))
        return NarrowUtf8(wide);
    const CIconv& cd = CachedIconv(codeset, Utf32Host());
    if (!cd.valid())
        return std::nullopt;
    std::u32string points;
    points.reserve(wide.size());
    for (size_t i = 0; i < wide.size();)
        points.push_back(NextCodePoint(wide, i, kUnmappable));
    const std::string_view input(reinterpret_cast<const char*>(points.data()),
                                 points.size() * sizeof(char32_t));
    NarrowResult result;
    const std::string replacement = defaultChar && *defaultChar ? defaultChar : "?";
    RunIconv(cd, input, result.text, [&](std::string& out, int) -> size_t {
        out += replacement;
        result.usedDefault = true;
        return sizeof(char32_t);
    });
    return result;
}

std::optional<WideResult> Widen(const std::string& codeset, std::string_view bytes)
{
    if (IsUtf8(codeset))
        return WidenUtf8(bytes);
    const CIconv& cd = CachedIconv(Utf32Host(), codeset);
    if (!cd.valid())
        return std::nullopt;
    std::string utf32;
    WideResult result;
    const char32_t replacement = kReplacement;
    RunIconv(cd, bytes, utf32, [&](std::string& out, int error) -> size_t {
        out.append(reinterpret_cast<const char*>(&replacement), sizeof replacement);
        result.invalid = true;
        // An incomplete sequence at the end is one bad character.
        return error == EINVAL ? 0 : 1;
    });
    result.text.reserve(utf32.size() / sizeof(char32_t));
    for (size_t i = 0; i + sizeof(char32_t) <= utf32.size(); i += sizeof(char32_t)) {
        char32_t cp = 0;
        std::memcpy(&cp, utf32.data() + i, sizeof cp);
        AppendUtf16(cp, result.text);
    }
    return result;
}

std::u16string FromUtf8(std::string_view bytes)
{
    return WidenUtf8(bytes).text;
}

std::string ToUtf8(std::u16string_view wide)
{
    return NarrowUtf8(wide).text;
}

} // namespace zrv::com
