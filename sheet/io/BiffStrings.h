#pragma once

// The strings of xls records: BIFF8's UTF-16 or one-byte forms, which
// CONTINUE records may carry on with a change of encoding at every record,
// and BIFF5's bytes in the workbook's code page.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zrv::sheet {

// Whether an XLUnicodeString of `characters` characters whose flags byte is
// at data[offset] (followed by its rich-text and extension sizes when the
// flags say so) lies within `data`.
bool UnicodeStringFits(std::string_view data, std::size_t offset, std::size_t characters);

// The `count` strings of a shared string table as UTF-8: `parts` are the SST
// record's data after its 8-byte header and the data of the CONTINUE records
// that follow it. A string's characters may go on in the next part, which
// then starts with a new flags byte. Throws CReadError when a string runs
// past the records, is longer than a cell holds, is not valid UTF-16, or the
// strings together are over the workbook's text limit.
std::vector<std::string> ReadSharedStrings(const std::vector<std::string_view>& parts,
                                           uint64_t count);

// The `characters` characters of an XLUnicodeString whose flags byte is
// data[0] (a sheet name, a LABEL or RSTRING text; the string lies in its
// record) as UTF-8; throws CReadError as ReadSharedStrings does.
std::string ReadCharacters(std::string_view data, std::size_t characters);

// The text of a STRING record (a formula's text result) as UTF-8, read as
// ReadSharedStrings reads one string; `parts` are its data and that of its
// CONTINUE records.
std::string ReadStringRecord(const std::vector<std::string_view>& parts);

// Bytes in a Windows code page (a BIFF5 file's CODEPAGE) to UTF-8; throws
// CReadError when the code page is unknown or a byte has no character in it.
std::string CodePageToUtf8(std::string_view bytes, uint32_t codePage);

// iconv loads each conversion from a file when it is first opened. This
// opens the conversion of every code page an xls file may name and keeps it
// for CodePageToUtf8 for the rest of the process, which then converts
// without opening a file. Not thread-safe: for a process reading one file.
void KeepCodePageConversions();

// UTF-16 to UTF-8; nothing is replaced: an unpaired surrogate throws CReadError.
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace zrv::sheet
