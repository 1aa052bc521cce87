#pragma once

#include "runtime/com/BString.h"

#include <QList>
#include <QString>
#include <string_view>
#include <vector>

namespace modFortuneRows {

// The text a list row shows for a fortune: cut before its first line feed,
// and a carriage return left at the end of that part dropped too.
QString FirstLine(std::u16string_view fortune);

// The rows that appending `texts` adds, as the archive then hands them out:
// line breaks trimmed at both ends, texts of line breaks only adding none,
// and each first line passed through the ANSI code page the archive stores.
QList<QString> AppendedRows(const std::vector<BString>& texts);

} // namespace modFortuneRows
