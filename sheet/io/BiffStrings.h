#pragma once

// Bounds checks for the strings of BIFF8 records, which freexl copies by the
// lengths the file states without checking them against the record.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zrv::sheet {

// Whether an XLUnicodeString of `characters` characters whose flags byte is
// at data[offset] (followed by its rich-text and extension sizes when the
// flags say so) lies within `data`.
bool UnicodeStringFits(std::string_view data, std::size_t offset, std::size_t characters);

// Whether `count` strings of a shared string table lie within its records:
// `parts` are the SST record's data after its 8-byte header and the data of
// the CONTINUE records that follow it. A string's characters may go on in
// the next part, which then starts with a new flags byte.
bool SharedStringsFit(const std::vector<std::string_view>& parts, uint64_t count);

} // namespace zrv::sheet
