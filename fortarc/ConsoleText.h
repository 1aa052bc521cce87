#pragma once

// Texts between the terminal (bytes in the codeset of the process locale, the
// component runtime's CP_ACP) and the component's UTF-16 strings, and the line
// ends of both sides: the archive holds CR LF inside texts, the terminal and
// fortune(6) files LF.

#include <string>
#include <string_view>

namespace fortarc {

// Throws FortarcError(BadText) for bytes that are not valid in the codeset or
// hold a NUL; `what` names the text in the message.
std::u16string FromConsole(std::string_view bytes, const std::string& what);
// For showing: bytes that are not valid in the codeset become U+FFFD.
std::u16string ShownText(std::string_view bytes);
// Characters the codeset lacks become "?"; never fails.
std::string ToConsole(std::u16string_view text);
// UTF-8 whatever the locale (JSON output); a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// For a terminal: control characters other than TAB and LF (C0, DEL, C1),
// which could move the cursor or start an escape sequence, become U+FFFD.
std::u16string Visible(std::u16string_view text);

// A message as one line of standard error: control bytes (C0 with TAB and LF,
// DEL, and the C1 controls encoded in UTF-8) become \xNN escapes, so that an
// argument quoted in it neither breaks the line nor drives the terminal.
std::string ErrorLine(std::string_view message);

// Every LF not already preceded by CR gets one.
std::u16string ToCrLf(std::u16string_view text);
// Every CR LF becomes LF; lone CRs stay.
std::u16string ToLf(std::u16string_view text);

// Appends the text as a fortune(6) file holds it: LF line ends, in the
// codeset. False, with `out` as it was, when some line is exactly "%".
bool AppendFileText(std::u16string_view text, std::string& out);

// True when some line of a text with LF line ends is exactly "%".
bool HasPercentLine(std::u16string_view text);
// True when the last line of the text is exactly "%" after a line end: such a
// text followed by a separator would lose that line to it.
bool EndsWithPercentLine(std::u16string_view text);

} // namespace fortarc
