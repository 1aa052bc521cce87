#pragma once

// Texts between the interface's counted wide strings and the engine's 8-bit
// text in the active ANSI code page (CP_ACP).

#include "runtime/com/BString.h"

#include <string>

namespace zrv {

// The runtime's ANSI conversions (runtime/com/AnsiText.h) for the
// interface's strings: a null string is the empty text, and the wide text up
// to its first NUL is converted.
std::string ToAnsi(const OLECHAR* text);
// The whole counted string, NULs included, so that a text holding one can be
// refused rather than cut. Null is the empty text.
std::string ToAnsiCounted(BSTR text);
// The same in `buffer`, which only grows, so that converting many ASCII texts
// in turn allocates nothing; valid until the buffer's next use.
std::string_view ToAnsiCounted(BSTR text, std::string& buffer);
std::u16string ToWide(const std::string& text);

// A new string holding the whole text (never null: the empty text gives an
// allocated empty string). Throws std::bad_alloc when it cannot be allocated.
BString ToBString(const std::string& text);

} // namespace zrv
