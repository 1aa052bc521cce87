#pragma once

// Text conversion between UTF-16 and 8-bit codesets inside the runtime.

#include "runtime/ZrvTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace zrv::com {

// The iconv name of a code page ("UTF-8" for UTF-8 and for the C locale's
// ASCII); nullopt for a code page this runtime does not know.
std::optional<std::string> CodesetOf(UINT codePage);

struct NarrowResult {
    std::string text;
    bool usedDefault = false;
};

// Characters the codeset lacks become defaultChar ("?" when null). Nullopt
// when the codeset cannot be opened.
std::optional<NarrowResult> Narrow(const std::string& codeset, std::u16string_view wide,
                                   const char* defaultChar);

struct WideResult {
    std::u16string text;
    bool invalid = false; // some input became U+FFFD
};

std::optional<WideResult> Widen(const std::string& codeset, std::string_view bytes);

// UTF-8, independent of the locale (type information texts).
std::u16string FromUtf8(std::string_view bytes);
std::string ToUtf8(std::u16string_view wide);

} // namespace zrv::com
