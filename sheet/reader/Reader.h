#pragma once

// The reader program's work (sheet/reader/ReaderProtocol.h): lock down, read
// the file on standard input, write the answer to standard output.

#include <string_view>

namespace zrv::sheet::reader {

// A test build of the reader may take over once it is locked down: it gets
// the first bytes of the file and may crash, stall or answer itself. When it
// returns, the file is read as usual.
using TestHook = void (*)(std::string_view head);

// main() of the reader: once it has answered, the process ends there with
// its exit status (ReaderProtocol.h); it returns only a status of failing
// before it could answer.
int Run(int argc, char** argv, TestHook hook = nullptr);

// Writes the whole answer to standard output; false when that fails.
bool Answer(std::string_view bytes);

} // namespace zrv::sheet::reader
