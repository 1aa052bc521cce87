#pragma once

// The clipboard text of fortunes: each fortune is introduced by the marker
// and runs up to the next marker or the end of the text. There is nothing
// else: no header, count, separator or escaping. Works on the bytes of the
// ANSI code page; the marker's bytes never occur inside another character in
// the code pages the runtime supports.

#include <string>
#include <string_view>
#include <vector>

namespace modClipboardFormat {

inline constexpr std::string_view Marker = "//ZORVAFORTUNE//";

// Appends one fortune's record to the text.
void AppendRecord(std::string& rsText, std::string_view vsFortune);

// The fortunes of a clipboard text, in order, as views into it. A text that
// does not begin with the marker holds none; the marker is recognised
// without regard to letter case. Linear in the length of the text.
std::vector<std::string_view> SplitFortunes(std::string_view vsText);

} // namespace modClipboardFormat
