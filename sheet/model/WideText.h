#pragma once

// Texts between the automation surface (UTF-16 BSTRs) and the workbook model
// (UTF-8, CR LF line breaks).

#include "runtime/com/BString.h"

#include <string>
#include <string_view>

namespace zrv::sheet {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
// A new BSTR (never null); throws std::bad_alloc when it cannot be allocated.
BSTR AllocUtf8(std::string_view text);
// A file name in the active ANSI code page, the form the file system takes.
std::string ToAnsiPath(std::u16string_view path);

// Length of a text as a spreadsheet file holds it: UTF-16 units, each CR LF
// counting as the one LF it becomes.
size_t FileTextLength(std::u16string_view text);

} // namespace zrv::sheet
