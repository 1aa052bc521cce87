#pragma once

// Conversion of texts between the interface's counted wide strings and the
// engine's 8-bit text in the active ANSI code page (CP_ACP).

#include "runtime/com/BString.h"

#include <string>

namespace zrv {

// A null string is the empty text. The wide text up to its first NUL is
// converted whole: the buffer is sized for the code page, and a character it
// lacks becomes its default replacement. Throws when the conversion fails.
std::string ToAnsi(const OLECHAR* text);

// The whole text as UTF-16 (file paths for the runtime's wide functions).
// Throws when the conversion fails.
std::u16string ToWide(const std::string& text);

// A new string holding the whole text (never null: the empty text gives an
// allocated empty string). Throws std::bad_alloc when it cannot be allocated.
BString ToBString(const std::string& text);

} // namespace zrv
