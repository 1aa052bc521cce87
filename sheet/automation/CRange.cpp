#include "sheet/automation/CRange.h"

#include "sheet/automation/SheetDispatchIds.h"
#include "sheet/io/CellText.h"
#include "sheet/model/DispatchError.h"
#include "sheet/model/WideText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace zrv::sheet {

const CRange::Member CRange::kMembers[] = {
    Member::Property(u"_Default", DISPID_VALUE, &CRange::GetValue, &CRange::PutValue),
    Member::Property(u"Value", DISPID_XL_VALUE, &CRange::GetValue, &CRange::PutValue),
    Member::Method(u"Activate", DISPID_XL_ACTIVATE, &CRange::Activate),
};

namespace {

constexpr SCODE kErrorValueBase = static_cast<SCODE>(0x800A0000);

struct ErrorValue {
    std::string_view name;
    LONG number;
};

constexpr ErrorValue kErrorValues[] = {
    {"#NULL!", 2000}, {"#DIV/0!", 2007}, {"#VALUE!", 2015}, {"#REF!", 2023},
    {"#NAME?", 2029}, {"#NUM!", 2036},   {"#N/A", 2042},
};

// #N/A stands for error values without a number of their own.
SCODE ErrorScode(const std::string& name)
{
    for (const ErrorValue& value : kErrorValues) {
        if (value.name == name)
            return kErrorValueBase | value.number;
    }
    return kErrorValueBase | 2042;
}

bool IsNumberType(VARTYPE vt)
{
    constexpr std::array kNumberTypes{VT_I2,   VT_I4,      VT_R4,  VT_R8,  VT_CY,
                                      VT_DATE, VT_DECIMAL, VT_I1,  VT_UI1, VT_UI2,
                                      VT_UI4,  VT_I8,      VT_UI8, VT_INT, VT_UINT};
    return std::find(kNumberTypes.begin(), kNumberTypes.end(), vt) != kNumberTypes.end();
}

CellData TextCell(const CDispatchCall& call, CellRef cell)
{
    const VARIANT& value = call.PutValue();
    const std::u16string_view text(value.bstrVal ? value.bstrVal : u"",
                                   SysStringLen(value.bstrVal));
    const size_t length = FileTextLength(text);
    if (length > kMaxCellText)
        Fail("The text for cell " + CellName(cell.row, cell.column) + " has " +
                 std::to_string(length) + " characters; a cell holds at most 32,767.",
             E_INVALIDARG);
    return CellData{CellKind::Text, ToUtf8(text), 0, false};
}

} // namespace

CRange::CRange(CWorkbookHold hold, size_t sheet, CellRef cell)
    : CSheetObject(std::move(hold), sheet), m_cell(cell)
{}

void CRange::GetValue(CDispatchCall& call)
{
    const CellData* cell = Book().Cell(Sheet(), m_cell);
    if (!cell)
        return; // VT_EMPTY
    switch (cell->kind) {
    case CellKind::Empty:
        break;
    case CellKind::Text:
        call.ReturnBstr(AllocUtf8(cell->text));
        break;
    case CellKind::Number:
        call.ReturnDouble(cell->number);
        break;
    case CellKind::Boolean:
        call.ReturnBool(cell->boolean);
        break;
    case CellKind::Date: {
        VARIANT date;
        VariantInit(&date);
        date.vt = VT_DATE;
        date.date = cell->number;
        call.ReturnVariant(date);
        break;
    }
    case CellKind::Error: {
        VARIANT error;
        VariantInit(&error);
        error.vt = VT_ERROR;
        error.scode = ErrorScode(cell->text);
        call.ReturnVariant(error);
        break;
    }
    }
}

void CRange::PutValue(CDispatchCall& call)
{
    CWorkbookModel& book = Book();
    const VARTYPE vt = call.PutValue().vt;
    CellData cell;
    if (vt == VT_EMPTY || vt == VT_NULL) {
        cell.kind = CellKind::Empty;
    } else if (vt == VT_BSTR) {
        cell = TextCell(call, m_cell);
    } else if (vt == VT_BOOL) {
        cell = CellData{CellKind::Boolean, {}, 0, call.PutBool()};
    } else if (IsNumberType(vt)) {
        const double number = call.PutDouble();
        if (!std::isfinite(number))
            Fail("A cell cannot hold an infinite number or NaN.", E_INVALIDARG);
        cell = CellData{CellKind::Number, {}, number, false};
    } else {
        throw DispatchError{DISP_E_TYPEMISMATCH, {}, 0};
    }
    book.SetCell(Sheet(), m_cell, std::move(cell));
}

void CRange::Activate(CDispatchCall& call)
{
    Book().ActivateCell(Sheet(), m_cell);
    call.ReturnBool(true);
}

} // namespace zrv::sheet
