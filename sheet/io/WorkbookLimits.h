#pragma once

// Bounds the readers hold every file to, so that a damaged or hostile file
// fails with an error instead of exhausting time or memory. A file over a
// bound is refused as a whole; nothing is cut silently.

#include <cstddef>
#include <cstdint>

namespace zrv::sheet {

inline constexpr std::size_t kMaxFileBytes = 256u << 20;     // the file itself
inline constexpr std::size_t kMaxZipEntries = 10000;         // entries of an xlsx / ods package
inline constexpr std::size_t kMaxZipEntryBytes = 128u << 20; // one entry, uncompressed
inline constexpr std::size_t kMaxZipTotalBytes = 512u << 20; // all entries, uncompressed
inline constexpr std::size_t kMaxXmlPrologBytes = 4096;      // XML declaration and comments
inline constexpr std::size_t kMaxXmlDepth = 10000;           // elements open at once in an XML part
inline constexpr uint32_t kMaxRows = 1048576;                // rows of a sheet (xlsx's limit)
inline constexpr uint32_t kMaxColumns = 16384;               // columns of a sheet (XFD)
inline constexpr std::size_t kMaxCells = 1u << 20;           // non-empty cells of a workbook
inline constexpr std::size_t kMaxSharedStrings = 1u << 20;   // an xlsx shared string table
inline constexpr std::size_t kMaxSheets = 1024;              // sheets of a workbook
inline constexpr std::size_t kMaxTextBytes = 256u << 20;     // all texts of a workbook
inline constexpr std::size_t kMaxCellChars = 32767;          // UTF-16 units of one written text
inline constexpr std::size_t kMaxLayoutEntries = 1u << 20;   // row heights and column widths

} // namespace zrv::sheet
