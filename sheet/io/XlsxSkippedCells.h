#pragma once

namespace zrv::sheet {

class CWorkbookBuilder;
class CZipPackage;

// liborcus passes over some xlsx cells without a word: inline strings
// (t="inlineStr"), error values (t="e") and formulas with a boolean result.
// This reads those cells from the worksheets that hold any and adds them to
// the sheets orcus created (matched by name).
void ReadCellsOrcusSkips(const CZipPackage& package, CWorkbookBuilder& builder);

} // namespace zrv::sheet
