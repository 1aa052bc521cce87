#pragma once

// Where the parts of an xlsx package are, read from its relationships and
// workbook part before liborcus sees the package, and the checks that keep
// liborcus from spending what a file asks for.

#include "sheet/io/CDateFormats.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zrv::sheet {

class CZipPackage;

struct XlsxSheetPart {
    std::string name;
    std::string part; // the worksheet's entry, "" when the package has none
};

struct XlsxParts {
    std::vector<XlsxSheetPart> sheets; // workbook order
    std::optional<std::size_t> activeTab;
    std::string styles; // "" when the package has none
    bool base1904 = false;
};

// Refuses a workbook that lists one worksheet part for two sheets (liborcus
// would parse it once per listing).
XlsxParts ReadXlsxParts(const CZipPackage& package);

// The number formats of the cell formats (styles part) and the date system.
CDateFormats ReadXlsxDateFormats(const CZipPackage& package, const XlsxParts& parts);

// Refuses array formulas whose ranges together cover more cells than a
// workbook may hold: liborcus allocates a result table for each whole range.
void CheckArrayFormulas(const CZipPackage& package, const XlsxParts& parts);

} // namespace zrv::sheet
