#pragma once

// Workbooks.Open's reading: the file is opened here (a regular file, never
// waited on) and parsed by the reader program in a locked-down process of its
// own, so whatever the file does to a parser ends as a one-line reason.

#include "sheet/io/WorkbookData.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zrv::sheet {

struct ReaderSettings {
    std::string program;  // beside this library
    unsigned seconds = 0; // wall-time deadline
    uint64_t addressSpaceMiB = 0;
};

// What reading runs with. Test builds take the program and lower limits from
// ZRV_SHEET_READER, ZRV_SHEET_READER_SECONDS and ZRV_SHEET_READER_MIB.
ReaderSettings CurrentReaderSettings();

// The workbook, or nullopt with the one-line reason in `error`: the file's
// own, or how the reader failed (out of its memory, out of time, stopped).
std::optional<WorkbookData> ReadInReader(const std::string& path, std::string& error);

} // namespace zrv::sheet
