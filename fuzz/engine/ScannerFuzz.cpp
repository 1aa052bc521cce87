// The block scanner must find the same header and offsets as the reference
// recognizer for any bytes cut into any blocks. The first input byte picks
// the block size; the rest is the archive.
#include "engine/CSeparatorScanner.h"
#include "tests/engine/CReferenceRecognizer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t block = 1 + data[0] % 17;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    const zrv::test::CReferenceRecognizer reference(bytes);
    zrv::CSeparatorScanner blocks;
    for (size_t at = 0; at < bytes.size(); at += block)
        blocks.Feed(bytes.data() + at, std::min(block, bytes.size() - at));
    zrv::CSeparatorScanner whole;
    whole.Feed(bytes.data(), bytes.size());

    if (blocks.Header() != reference.Header() || blocks.Offsets() != reference.Offsets() ||
        whole.Header() != reference.Header() || whole.Offsets() != reference.Offsets())
        std::abort();
    return 0;
}
