#pragma once

// One cell. Value is text (BSTR, CR LF line breaks), a number (R8), a boolean
// (BOOL) or empty; a cell holding an error value reads as VT_ERROR with the
// scode 0x800A0000 + the error's number (2007 for #DIV/0!, as CVErr gives).
// A text longer than a cell holds (32,767 characters as the file stores it,
// CR LF counting once) is refused, never cut.

#include "sheet/automation/CSheetObject.h"
#include "sheet/model/CWorkspace.h"

namespace zrv::sheet {

constexpr size_t kMaxCellText = 32767;

class CRange final : public CSheetObject<CRange> {
public:
    static const Member kMembers[];

    CRange(CWorkbookHold hold, size_t sheet, CellRef cell);

private:
    ~CRange() override = default;

    void GetValue(CDispatchCall& call);
    void PutValue(CDispatchCall& call);
    void Activate(CDispatchCall& call);

    CellRef m_cell;
};

} // namespace zrv::sheet
