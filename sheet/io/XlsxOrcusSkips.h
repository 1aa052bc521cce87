#pragma once

namespace zrv::sheet {

class CWorkbookBuilder;
class CZipPackage;
struct XlsxParts;

// liborcus passes over some of an xlsx file without a word: inline strings
// (t="inlineStr"), error values (t="e"), formulas with a boolean result,
// dates typed as such (t="d"), and
// the workbook's active tab (it only sees sheets marked tabSelected). This
// reads those from the package and adds them to the sheets orcus created
// (matched by name).
void ReadWhatOrcusSkips(const CZipPackage& package, const XlsxParts& parts,
                        CWorkbookBuilder& builder);

} // namespace zrv::sheet
