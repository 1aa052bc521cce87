#pragma once

// How the application runs the reader program, which reads one spreadsheet
// file in a process of its own:
//
//   zrvsheet-read FILE-BYTES ADDRESS-SPACE-MIB CPU-SECONDS
//
// Its standard input is the file, opened by the application (never a path);
// its standard output the answer (sheet/io/WorkbookStream.h); its standard
// error the application's. It locks itself down before reading, whatever the
// format: the address space it may add to what it has mapped at start, CPU
// seconds, no files written, no core, no file reached by its name, and a
// system-call allow-list.

#include <cstdint>

namespace zrv::sheet::reader {

inline constexpr char kProgram[] = "zrvsheet-read";

// Its exit statuses; anything else, or a signal, is a failure of its own.
enum Exit : int {
    kExitRead = 0,        // the answer holds the workbook
    kExitRefused = 1,     // the answer holds the reason the file cannot be read
    kExitOutOfMemory = 3, // it ran out of its address space
    kExitUnconfined = 4,  // it could not lock itself down, so read nothing
};

// What the application grants it: wall time (the application's deadline; the
// CPU limit lies just above), and address space above what it has mapped at
// start, enough for the largest file the limits of WorkbookLimits.h allow.
inline constexpr unsigned kDeadlineSeconds = 30;
inline constexpr uint64_t kAddressSpaceMiB = 3072;

} // namespace zrv::sheet::reader
