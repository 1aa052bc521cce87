#pragma once

// The readers behind ReadWorkbookFile, one per file format. Each throws
// CReadError (or a library's exception) when the file cannot be read.

#include "sheet/io/WorkbookData.h"

#include <string>
#include <string_view>

namespace zrv::sheet {

class CZipPackage;

WorkbookData ReadXlsx(const CZipPackage& package);
WorkbookData ReadXls(std::string_view bytes);
WorkbookData ReadOds(const CZipPackage& package);
WorkbookData ReadCsv(std::string_view bytes);

} // namespace zrv::sheet
