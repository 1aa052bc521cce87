#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/FormatReaders.h"

namespace zrv::sheet {

WorkbookData ReadXls(const std::string&)
{
    throw CReadError("xls files cannot be read yet");
}

} // namespace zrv::sheet
