#pragma once

// The system clipboard's plain-text format CF_TEXT: text in the ANSI code
// page (the codeset of LC_CTYPE). The system clipboard itself holds Unicode
// text; the conversions are the runtime's, so a character the code page lacks
// arrives as "?".

#include <string>
#include <string_view>

namespace zrv::desktop {

// Leaves the clipboard empty.
void EmptyClipboard();

// Replaces the clipboard's content with the text.
void SetClipboardText(std::string_view ansiText);

// The clipboard's text; empty when it holds none (nothing, or only other
// kinds of data).
std::string GetClipboardText();

// The runtime's conversions with the ANSI code page; nothing is cut.
std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view ansiText);

} // namespace zrv::desktop
