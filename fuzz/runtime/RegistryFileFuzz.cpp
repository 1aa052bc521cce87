// Registry import files: any input is parsed or refused, never crashes, and
// whatever parses formats into a file that parses again; after that first
// round (which may normalise text the code page cannot hold) nothing changes.

#include "runtime/registry/RegFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using zrv::reg::RegFile;
    RegFile file;
    std::string error;
    if (!RegFile::Parse(std::string_view(reinterpret_cast<const char*>(data), size), file, error)) {
        if (error.rfind("line ", 0) != 0 || !file.keys.empty())
            std::abort();
        return 0;
    }
    RegFile again;
    RegFile third;
    if (!RegFile::Parse(file.Format(), again, error) ||
        !RegFile::Parse(again.Format(), third, error) || third.keys != again.keys ||
        again.keys.size() != file.keys.size())
        std::abort();
    return 0;
}
