#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/FormatReaders.h"

namespace zrv::sheet {

WorkbookData ReadOds(const CZipPackage&)
{
    throw CReadError("ods files cannot be read yet");
}

} // namespace zrv::sheet
