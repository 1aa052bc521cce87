#pragma once

// An automation object on one sheet of a held workbook (Worksheet, Range,
// Row, Column, Selection).

#include "sheet/automation/CAutomationObject.h"
#include "sheet/model/CWorkbookHold.h"

#include <cstddef>
#include <utility>

namespace zrv::sheet {

template <class T> class CSheetObject : public CDispatchObject<T> {
protected:
    CSheetObject(CWorkbookHold hold, size_t sheet) : m_hold(std::move(hold)), m_sheet(sheet) {}

    const CWorkbookHold& Hold() const { return m_hold; }
    // The workbook, or a DispatchError when it has been closed.
    CWorkbookModel& Book() const { return m_hold.Book(); }
    size_t Sheet() const { return m_sheet; }

private:
    CWorkbookHold m_hold;
    size_t m_sheet;
};

} // namespace zrv::sheet
