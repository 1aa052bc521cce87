#pragma once

// Texts of cells: line-break conversion between the model (CR LF) and
// spreadsheet files (LF), and the UTF-8 checks the file layer needs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zrv::sheet {

// File text to model text: every LF not already preceded by CR becomes CR LF.
std::string ToModelText(std::string_view fileText);
// Model text to file text: every CR LF becomes LF; other bytes are kept.
std::string ToFileText(std::string_view modelText);

// Appends the UTF-8 form of a code point (below U+110000, not a surrogate).
void AppendUtf8(std::string& out, uint32_t code);
bool IsValidUtf8(std::string_view text);
// The text with every byte sequence that is not valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);
// Length in UTF-16 code units (what spreadsheet programs count); text must be valid UTF-8.
std::size_t Utf16Length(std::string_view text);

// "A1"-style name of a cell (1-based row and column), for messages.
std::string CellName(uint32_t row, uint32_t column);
// Parses "B7" or "$B$7" (no sheet name) into 1-based row and column; false
// for anything else, including positions past the limits of a sheet.
bool ParseCellName(std::string_view name, uint32_t& row, uint32_t& column);

} // namespace zrv::sheet
