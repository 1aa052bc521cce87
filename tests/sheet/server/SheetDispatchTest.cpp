// The automation surface: names and ids, the dispatch error codes, cell
// addresses, values and layout, as a late-bound caller sees them.

#include "runtime/com/BString.h"
#include "tests/sheet/server/SheetCaller.h"

#include <gtest/gtest.h>
#include <QString>

namespace {

using zrv::test::Call;
using zrv::test::CallResult;
using zrv::test::GetObject;
using zrv::test::Invoke;
using zrv::test::Put;
using zrv::test::Variant;

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;

std::string Utf8(const std::u16string& text)
{
    return QString::fromStdU16String(text).toStdString();
}

class Dispatch : public testing::Test {
protected:
    void SetUp() override
    {
        m_application = zrv::test::CreateSheetApplication();
        ASSERT_TRUE(m_application);
        GetObject(GetObject(m_application.get(), DISPID_XL_WORKBOOKS).get(), u"Add");
        m_sheet = GetObject(m_application.get(), DISPID_XL_ACTIVE_SHEET);
        ASSERT_TRUE(m_sheet);
    }

    ComPtr<IDispatch> Cell(const char16_t* address)
    {
        return GetObject(m_sheet.get(), DISPID_XL_RANGE, {Variant::Text(address)});
    }

    ComPtr<IDispatch> m_application;
    ComPtr<IDispatch> m_sheet;
};

TEST_F(Dispatch, names_resolveWithoutCase_toTheIdsCallersUse)
{
    const ComPtr<IDispatch> books = GetObject(m_application.get(), DISPID_XL_WORKBOOKS);
    const ComPtr<IDispatch> book = GetObject(books.get(), u"Add");
    struct Name {
        IDispatch* object;
        std::u16string name;
        DISPID id;
    };
    const Name names[] = {
        {m_application.get(), u"sheetsinnewworkbook", DISPID_XL_SHEETS_IN_NEW_WORKBOOK},
        {m_application.get(), u"SCREENUPDATING", DISPID_XL_SCREEN_UPDATING},
        {m_application.get(), u"Interactive", DISPID_XL_INTERACTIVE},
        {m_application.get(), u"visible", DISPID_XL_VISIBLE},
        {m_application.get(), u"OperatingSystem", DISPID_XL_OPERATING_SYSTEM},
        {m_application.get(), u"Workbooks", DISPID_XL_WORKBOOKS},
        {m_application.get(), u"ActiveSheet", DISPID_XL_ACTIVE_SHEET},
        {m_application.get(), u"Selection", DISPID_XL_SELECTION},
        {book.get(), u"close", DISPID_XL_CLOSE},
        {m_sheet.get(), u"Range", DISPID_XL_RANGE},
        {m_sheet.get(), u"rows", DISPID_XL_ROWS},
        {m_sheet.get(), u"Columns", DISPID_XL_COLUMNS},
    };
    for (const Name& name : names)
        EXPECT_EQ(zrv::test::IdOf(name.object, name.name), name.id) << Utf8(name.name);
    // Members reached by name only: the name in any case reaches the same one.
    for (const char16_t* name : {u"Add", u"OPEN"})
        EXPECT_EQ(zrv::test::IdOf(books.get(), name),
                  zrv::test::IdOf(books.get(),
                                  QString::fromStdU16String(name).toLower().toStdU16String()));
    Put(Cell(u"C3").get(), u"VALUE", Variant::Text(u"by name"));
    EXPECT_EQ(Call(Cell(u"c3").get(), u"value", kGet).value.text(), u"by name");
}

TEST_F(Dispatch, everyMember_refusesAnArgumentBeyondItsCount)
{
    const ComPtr<IDispatch> books = GetObject(m_application.get(), DISPID_XL_WORKBOOKS);
    const ComPtr<IDispatch> book = GetObject(books.get(), u"Add");
    const ComPtr<IDispatch> selection = GetObject(m_application.get(), DISPID_XL_SELECTION);
    const ComPtr<IDispatch> row = GetObject(m_sheet.get(), DISPID_XL_ROWS, {Variant::Long(1)});
    const ComPtr<IDispatch> column =
        GetObject(m_sheet.get(), DISPID_XL_COLUMNS, {Variant::Long(1)});
    const ComPtr<IDispatch> cell = Cell(u"A1");
    struct Member {
        IDispatch* object;
        DISPID id;
        size_t args; // what a call or get takes
        bool putable;
    };
    const Member members[] = {
        {m_application.get(), DISPID_XL_SHEETS_IN_NEW_WORKBOOK, 0, true},
        {m_application.get(), DISPID_XL_SCREEN_UPDATING, 0, true},
        {m_application.get(), DISPID_XL_INTERACTIVE, 0, true},
        {m_application.get(), DISPID_XL_VISIBLE, 0, true},
        {m_application.get(), DISPID_XL_OPERATING_SYSTEM, 0, false},
        {m_application.get(), DISPID_XL_WORKBOOKS, 0, false},
        {m_application.get(), DISPID_XL_ACTIVE_SHEET, 0, false},
        {m_application.get(), DISPID_XL_SELECTION, 0, false},
        {books.get(), DISPID_XL_ADD, 0, false},
        {books.get(), DISPID_XL_OPEN, 1, false},
        {books.get(), DISPID_XL_COUNT, 0, false},
        {book.get(), DISPID_XL_CLOSE, 0, false},
        {book.get(), DISPID_XL_ACTIVE_SHEET, 0, false},
        {m_sheet.get(), DISPID_XL_RANGE, 1, false},
        {m_sheet.get(), DISPID_XL_ROWS, 1, false},
        {m_sheet.get(), DISPID_XL_COLUMNS, 1, false},
        {m_sheet.get(), DISPID_XL_NAME, 0, false},
        {cell.get(), DISPID_VALUE, 0, true},
        {cell.get(), DISPID_XL_VALUE, 0, true},
        {cell.get(), DISPID_XL_ACTIVATE, 0, false},
        {row.get(), DISPID_XL_ROW_HEIGHT, 0, true},
        {column.get(), DISPID_XL_SELECT, 0, false},
        {column.get(), DISPID_XL_COLUMN_WIDTH, 0, true},
        {selection.get(), DISPID_XL_COLUMN_WIDTH, 0, true},
    };
    for (const Member& member : members) {
        const std::vector<Variant> tooMany(member.args + 1, Variant::Text(u"1"));
        EXPECT_EQ(Invoke(member.object, member.id, kGet, tooMany).hr, DISP_E_BADPARAMCOUNT)
            << member.id;
        // A put's value comes last in the caller's order; one more goes before it.
        const HRESULT put =
            Invoke(member.object, member.id, kPut, {Variant::Long(1), Variant::Long(1)}).hr;
        EXPECT_EQ(put, member.putable ? DISP_E_BADPARAMCOUNT : DISP_E_MEMBERNOTFOUND) << member.id;
    }
    EXPECT_EQ(Invoke(books.get(), DISPID_XL_COUNT, kGet).value->lVal, 2); // none added or closed
}

TEST_F(Dispatch, wrongCalls_giveTheDispatchErrorCodes)
{
    std::u16string unknown = u"NoSuchMember";
    OLECHAR* names[] = {unknown.data()};
    DISPID id = 0;
    EXPECT_EQ(m_application->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    EXPECT_EQ(Invoke(m_application.get(), 12345, kGet).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(
        Invoke(m_application.get(), DISPID_XL_OPERATING_SYSTEM, kPut, {Variant::Text(u"x")}).hr,
        DISP_E_MEMBERNOTFOUND);                                                       // read-only
    EXPECT_EQ(Invoke(m_sheet.get(), DISPID_XL_RANGE, kGet).hr, DISP_E_BADPARAMCOUNT); // no address
    EXPECT_EQ(
        Invoke(m_sheet.get(), DISPID_XL_RANGE, kGet, {Variant::Text(u"A1"), Variant::Text(u"B2")})
            .hr,
        DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Invoke(m_application.get(), DISPID_XL_WORKBOOKS, kGet, {Variant::Long(1)}).hr,
              DISP_E_BADPARAMCOUNT);

    CallResult mismatch =
        Invoke(m_sheet.get(), DISPID_XL_RANGE, kGet, {Variant::Object(m_sheet.get())});
    EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mismatch.argErr, 0u);
    EXPECT_EQ(Call(Cell(u"A1").get(), u"Value", kPut, {Variant::Object(m_sheet.get())}).hr,
              DISP_E_TYPEMISMATCH);
    const ComPtr<IDispatch> row = GetObject(m_sheet.get(), DISPID_XL_ROWS, {Variant::Long(1)});
    EXPECT_EQ(Call(row.get(), u"RowHeight", kPut, {Variant::Text(u"tall")}).hr,
              DISP_E_TYPEMISMATCH);

    // A failing member describes itself in EXCEPINFO and the error information.
    const CallResult failed =
        Invoke(m_application.get(), DISPID_XL_SHEETS_IN_NEW_WORKBOOK, kPut, {Variant::Long(0)});
    EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
    EXPECT_FALSE(failed.description.empty());
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    BString description;
    info->GetDescription(description.put());
    EXPECT_EQ(description.view(), failed.description);
}

TEST_F(Dispatch, addresses_outsideOneCellOfTheSheet_areRefused)
{
    for (const char16_t* good : {u"A1", u"b10000", u"XFD1048576", u"AA7"})
        EXPECT_EQ(Invoke(m_sheet.get(), DISPID_XL_RANGE, kGet, {Variant::Text(good)}).hr, S_OK)
            << Utf8(good);
    for (const char16_t* bad : {u"", u"A0", u"1A", u"A", u"1", u"A1:B2", u"XFE1", u"A1048577",
                                u"A01", u"$A$1", u" A1", u"A1 ", u"Ä1", u"A-1", u"ABCD1"}) {
        const CallResult range = Invoke(m_sheet.get(), DISPID_XL_RANGE, kGet, {Variant::Text(bad)});
        EXPECT_EQ(range.hr, DISP_E_EXCEPTION) << Utf8(bad);
        EXPECT_NE(range.description.find(u"'" + std::u16string(bad) + u"'"), std::u16string::npos)
            << Utf8(range.description);
    }
    for (Variant bad :
         {Variant::Long(0), Variant::Long(1048577), Variant::Text(u"x"), Variant::Text(u"1:2")})
        EXPECT_EQ(Invoke(m_sheet.get(), DISPID_XL_ROWS, kGet, {bad}).hr, DISP_E_EXCEPTION);
    for (Variant bad : {Variant::Long(0), Variant::Long(16385), Variant::Text(u"XFE"),
                        Variant::Text(u"A:B"), Variant::Text(u"")})
        EXPECT_EQ(Invoke(m_sheet.get(), DISPID_XL_COLUMNS, kGet, {bad}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Invoke(m_sheet.get(), DISPID_XL_COLUMNS, kGet, {Variant::Text(u"xfd")}).hr, S_OK);
    EXPECT_EQ(Invoke(m_sheet.get(), DISPID_XL_ROWS, kGet, {Variant::Double(1048576)}).hr, S_OK);
}

TEST_F(Dispatch, values_keepTheirTypes_tooLongTextIsRefusedWhole)
{
    const ComPtr<IDispatch> cell = Cell(u"A1");
    auto value = [&] { return Call(cell.get(), u"Value", kGet).value; };
    EXPECT_EQ(value()->vt, VT_EMPTY);
    Put(cell.get(), u"Value", Variant::Short(5));
    EXPECT_EQ(value()->vt, VT_R8);
    EXPECT_EQ(value()->dblVal, 5);
    Put(cell.get(), u"Value", Variant::Bool(true));
    EXPECT_EQ(value()->vt, VT_BOOL);
    Put(cell.get(), u"Value", Variant());
    EXPECT_EQ(value()->vt, VT_EMPTY);

    // 32,767 characters as the file holds them: CR LF counts once.
    std::u16string longest(32757, u'x');
    for (int i = 0; i < 10; ++i)
        longest += u"\r\n";
    Put(cell.get(), u"Value", Variant::Text(longest));
    EXPECT_EQ(value().text(), longest);
    const CallResult tooLong =
        Call(cell.get(), u"Value", kPut, {Variant::Text(std::u16string(32768, u'y'))});
    EXPECT_EQ(tooLong.hr, DISP_E_EXCEPTION);
    EXPECT_NE(tooLong.description.find(u"32,767"), std::u16string::npos)
        << Utf8(tooLong.description);
    EXPECT_EQ(value().text(), longest);
}

TEST_F(Dispatch, layout_takesShortLongAndDouble_refusesOutOfRange)
{
    const ComPtr<IDispatch> row = GetObject(m_sheet.get(), DISPID_XL_ROWS, {Variant::Long(3)});
    const ComPtr<IDispatch> column =
        GetObject(m_sheet.get(), DISPID_XL_COLUMNS, {Variant::Text(u"C")});
    for (Variant height : {Variant::Short(30), Variant::Long(30), Variant::Double(30)}) {
        Put(row.get(), u"RowHeight", Variant::Double(1));
        Put(row.get(), u"RowHeight", height);
        EXPECT_EQ(Call(row.get(), u"RowHeight", kGet).value->dblVal, 30);
    }
    EXPECT_EQ(Call(row.get(), u"RowHeight", kPut, {Variant::Long(410)}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Call(row.get(), u"RowHeight", kPut, {Variant::Double(-1)}).hr, DISP_E_EXCEPTION);

    // The selection's width goes to the selected column; a cell outside it
    // then becomes the selection.
    EXPECT_EQ(Call(column.get(), u"Select", DISPATCH_METHOD).hr, S_OK);
    Put(GetObject(m_application.get(), DISPID_XL_SELECTION).get(), u"ColumnWidth",
        Variant::Short(60));
    EXPECT_EQ(Call(column.get(), u"ColumnWidth", kGet).value->dblVal, 60);
    EXPECT_EQ(Call(Cell(u"E1").get(), u"Activate", DISPATCH_METHOD).hr, S_OK);
    const ComPtr<IDispatch> selection = GetObject(m_application.get(), DISPID_XL_SELECTION);
    Put(selection.get(), u"ColumnWidth", Variant::Long(12));
    EXPECT_EQ(Call(column.get(), u"ColumnWidth", kGet).value->dblVal, 60);
    EXPECT_EQ(Call(GetObject(m_sheet.get(), DISPID_XL_COLUMNS, {Variant::Long(5)}).get(),
                   u"ColumnWidth", kGet)
                  .value->dblVal,
              12);
    EXPECT_EQ(Call(selection.get(), u"ColumnWidth", kPut, {Variant::Long(256)}).hr,
              DISP_E_EXCEPTION);
}

} // namespace
