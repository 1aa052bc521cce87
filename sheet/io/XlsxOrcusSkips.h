#pragma once

#include <exception>
#include <map>
#include <string>

namespace zrv::sheet {

class CWorkbookBuilder;
class CZipPackage;
struct XlsxParts;

// liborcus passes over some of an xlsx file without a word: inline strings
// (t="inlineStr"), error values (t="e"), formulas with a boolean result,
// dates typed as such (t="d"), and
// the workbook's active tab (it only sees sheets marked tabSelected). This
// reads those from the package and adds them to the sheets orcus created
// (matched by name), in two steps: ScanSheetParts reads only the package (so
// it can run while orcus parses), ReadWhatOrcusSkips adds what it found.

// What one sheet part holds for ReadWhatOrcusSkips.
struct SkippedCells {
    std::string xml;            // the part, when it holds cells orcus skips
    std::exception_ptr failure; // the part could not be read
};
using SheetPartScan = std::map<std::string, SkippedCells>; // by part name

SheetPartScan ScanSheetParts(const CZipPackage& package, const XlsxParts& parts);
// A sheet part that could not be read fails here, and only when one of the
// sheets orcus created is in it.
void ReadWhatOrcusSkips(const XlsxParts& parts, const SheetPartScan& scan,
                        CWorkbookBuilder& builder);

} // namespace zrv::sheet
