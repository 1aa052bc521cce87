// The reader program's answer as the application decodes it: any bytes are
// decoded within the limits or refused with a reason; a stream that decodes
// is the one its workbook encodes to, byte for byte.

#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookStream.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zrv::sheet;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ReaderAnswer answer;
    try {
        CMemorySource source(input);
        answer = DecodeAnswer(source);
    } catch (const CReadError& damage) {
        if (std::string_view(damage.what()).empty())
            std::abort();
        return 0;
    }
    const std::string again =
        answer.read ? EncodeWorkbookAnswer(answer.workbook) : EncodeFailureAnswer(answer.reason);
    if (again != input)
        std::abort();
    return 0;
}
