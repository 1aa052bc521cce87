#include "runtime/com/BString.h"
#include "runtime/com/OleAuto.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

// A VARIANT cleared when it goes.
class Var final {
public:
    Var() { VariantInit(&v); }
    ~Var() { VariantClear(&v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
    VARIANT v;
};

void SetText(VARIANT& v, std::u16string_view text)
{
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// The numeric value of a converted variant, for comparison.
double ValueOf(const VARIANT& v)
{
    switch (v.vt) {
    case VT_I2:
        return v.iVal;
    case VT_I4:
        return v.lVal;
    case VT_R8:
        return v.dblVal;
    case VT_BOOL:
        return v.boolVal;
    case VT_UI1:
        return v.bVal;
    default:
        return NAN;
    }
}

struct FromTextCase {
    std::u16string text;
    VARTYPE vt;
    HRESULT hr;
    double value;
};

class VariantFromText : public testing::TestWithParam<FromTextCase> {};

TEST_P(VariantFromText, convertsOrFailsAsExpected)
{
    const FromTextCase& c = GetParam();
    Var src;
    SetText(src.v, c.text);
    Var dest;
    dest.v.vt = VT_I4;
    dest.v.lVal = 99;
    EXPECT_EQ(VariantChangeType(&dest.v, &src.v, 0, c.vt), c.hr);
    if (c.hr == S_OK) {
        EXPECT_EQ(dest.v.vt, c.vt);
        EXPECT_EQ(ValueOf(dest.v), c.value);
    } else {
        // A failed conversion leaves the destination as it was.
        EXPECT_EQ(dest.v.vt, VT_I4);
        EXPECT_EQ(dest.v.lVal, 99);
    }
}

std::string CaseName(const testing::TestParamInfo<FromTextCase>& p)
{
    return "case" + std::to_string(p.index);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VariantFromText,
    testing::Values(
        FromTextCase{u"42", VT_I4, S_OK, 42}, FromTextCase{u"  -7\t", VT_I4, S_OK, -7},
        FromTextCase{u"+8", VT_I4, S_OK, 8}, FromTextCase{u"2.5", VT_I4, S_OK, 2},
        FromTextCase{u"3.5", VT_I4, S_OK, 4}, FromTextCase{u"-2.5", VT_I4, S_OK, -2},
        FromTextCase{u"-3.5", VT_I4, S_OK, -4}, FromTextCase{u"0.5", VT_I4, S_OK, 0},
        FromTextCase{u"2.5000001", VT_I4, S_OK, 3}, FromTextCase{u"1,000", VT_I4, S_OK, 1000},
        FromTextCase{u"1e3", VT_I4, S_OK, 1000}, FromTextCase{u".5e1", VT_I4, S_OK, 5},
        FromTextCase{u"&HFF", VT_I4, S_OK, 255}, FromTextCase{u"&o17", VT_I4, S_OK, 15},
        FromTextCase{u"2147483647", VT_I4, S_OK, 2147483647},
        FromTextCase{u"2147483646.5", VT_I4, S_OK, 2147483646},
        FromTextCase{u"2147483647.5", VT_I4, DISP_E_OVERFLOW, 0},
        FromTextCase{u"2147483648", VT_I4, DISP_E_OVERFLOW, 0},
        FromTextCase{u"-2147483648", VT_I4, S_OK, -2147483648.0},
        FromTextCase{u"-2147483649", VT_I4, DISP_E_OVERFLOW, 0},
        FromTextCase{u"1e400", VT_I4, DISP_E_OVERFLOW, 0},
        FromTextCase{u"32767", VT_I2, S_OK, 32767},
        FromTextCase{u"32767.5", VT_I2, DISP_E_OVERFLOW, 0},
        FromTextCase{u"-32768.5", VT_I2, S_OK, -32768},
        FromTextCase{u"32768", VT_I2, DISP_E_OVERFLOW, 0},
        FromTextCase{u"-32769", VT_I2, DISP_E_OVERFLOW, 0},
        FromTextCase{u"256", VT_UI1, DISP_E_OVERFLOW, 0}, FromTextCase{u"2.5", VT_R8, S_OK, 2.5},
        FromTextCase{u"-1.25e-2", VT_R8, S_OK, -0.0125},
        FromTextCase{u"1e400", VT_R8, DISP_E_OVERFLOW, 0}, FromTextCase{u"True", VT_BOOL, S_OK, -1},
        FromTextCase{u"false", VT_BOOL, S_OK, 0}, FromTextCase{u"2", VT_BOOL, S_OK, -1},
        FromTextCase{u"", VT_I4, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u"   ", VT_I4, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u"abc", VT_I4, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u"12abc", VT_I2, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u"1.2.3", VT_R8, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u",5", VT_I4, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u"1e", VT_R8, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u"&H", VT_I4, DISP_E_TYPEMISMATCH, 0},
        FromTextCase{u"yes", VT_BOOL, DISP_E_TYPEMISMATCH, 0}),
    CaseName);

struct ToTextCase {
    VARIANT value;
    USHORT flags;
    std::u16string text;
};

VARIANT Make(VARTYPE vt, double number)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    switch (vt) {
    case VT_I2:
        v.iVal = static_cast<SHORT>(number);
        break;
    case VT_I4:
        v.lVal = static_cast<LONG>(number);
        break;
    case VT_R4:
        v.fltVal = static_cast<float>(number);
        break;
    case VT_R8:
        v.dblVal = number;
        break;
    case VT_DATE:
        v.date = number;
        break;
    case VT_BOOL:
        v.boolVal = number ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_UI1:
        v.bVal = static_cast<BYTE>(number);
        break;
    default:
        break;
    }
    return v;
}

class VariantToText : public testing::TestWithParam<ToTextCase> {};

TEST_P(VariantToText, writesTheHomeFormat)
{
    Var dest;
    ASSERT_EQ(VariantChangeType(&dest.v, &GetParam().value, GetParam().flags, VT_BSTR), S_OK);
    ASSERT_EQ(dest.v.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(dest.v.bstrVal, SysStringLen(dest.v.bstrVal)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VariantToText,
    testing::Values(
        ToTextCase{Make(VT_I4, -5), 0, u"-5"}, ToTextCase{Make(VT_I2, 32767), 0, u"32767"},
        ToTextCase{Make(VT_UI1, 200), 0, u"200"}, ToTextCase{Make(VT_R8, 2.5), 0, u"2.5"},
        ToTextCase{Make(VT_R8, 0.1), 0, u"0.1"},
        ToTextCase{Make(VT_R8, 1.0 / 3), 0, u"0.333333333333333"},
        ToTextCase{Make(VT_R8, 123456789012345.0), 0, u"123456789012345"},
        ToTextCase{Make(VT_R8, 1e20), 0, u"1E+20"}, ToTextCase{Make(VT_R8, 1e-5), 0, u"1E-05"},
        ToTextCase{Make(VT_R8, -0.0), 0, u"0"}, ToTextCase{Make(VT_R4, 0.1), 0, u"0.1"},
        ToTextCase{Make(VT_BOOL, 1), 0, u"-1"}, ToTextCase{Make(VT_BOOL, 0), 0, u"0"},
        ToTextCase{Make(VT_BOOL, 1), VARIANT_ALPHABOOL, u"True"},
        ToTextCase{Make(VT_BOOL, 0), VARIANT_ALPHABOOL, u"False"},
        ToTextCase{Make(VT_DATE, 0), 0, u"12:00:00 AM"},
        ToTextCase{Make(VT_DATE, 36526), 0, u"1/1/2000"},
        ToTextCase{Make(VT_DATE, 36526.5), 0, u"1/1/2000 12:00:00 PM"},
        ToTextCase{Make(VT_DATE, 2.75), 0, u"1/1/1900 6:00:00 PM"},
        ToTextCase{Make(VT_DATE, -1.25), 0, u"12/29/1899 6:00:00 AM"},
        ToTextCase{Make(VT_DATE, 0.5 + 1.0 / 86400 * 61), 0, u"12:01:01 PM"},
        ToTextCase{Make(VT_EMPTY, 0), 0, u""}));

TEST(Variant, numbersBetweenKinds_roundHalfEvenAndCheckRange)
{
    struct Case {
        VARIANT from;
        VARTYPE to;
        HRESULT hr;
        double value;
    };
    const Case cases[] = {
        {Make(VT_R8, 2.5), VT_I4, S_OK, 2},
        {Make(VT_R8, -0.5), VT_I4, S_OK, 0},
        {Make(VT_R8, 1e10), VT_I4, DISP_E_OVERFLOW, 0},
        {Make(VT_I4, 40000), VT_I2, DISP_E_OVERFLOW, 0},
        {Make(VT_I4, -1), VT_UI1, DISP_E_OVERFLOW, 0},
        {Make(VT_BOOL, 1), VT_I2, S_OK, -1},
        {Make(VT_I4, 7), VT_BOOL, S_OK, -1},
        {Make(VT_EMPTY, 0), VT_I4, S_OK, 0},
        {Make(VT_I2, -3), VT_R8, S_OK, -3},
    };
    for (const Case& c : cases) {
        Var dest;
        EXPECT_EQ(VariantChangeType(&dest.v, &c.from, 0, c.to), c.hr) << c.from.vt << "->" << c.to;
        if (c.hr == S_OK) {
            EXPECT_EQ(ValueOf(dest.v), c.value) << c.from.vt << "->" << c.to;
        }
    }
}

TEST(Variant, nullAndObjects_doNotBecomeText)
{
    Var null;
    null.v.vt = VT_NULL;
    Var dest;
    EXPECT_EQ(VariantChangeType(&dest.v, &null.v, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantChangeType(&dest.v, &null.v, 0, VT_I4), DISP_E_TYPEMISMATCH);
    Var error;
    error.v.vt = VT_ERROR;
    error.v.scode = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(VariantChangeType(&dest.v, &error.v, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantChangeType(&dest.v, &null.v, 0, VT_BSTR | VT_BYREF), DISP_E_BADVARTYPE);
}

TEST(Variant, inPlaceConversion_releasesTheOldText)
{
    Var v;
    SetText(v.v, u"17");
    ASSERT_EQ(VariantChangeType(&v.v, &v.v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.v.vt, VT_I4);
    EXPECT_EQ(v.v.lVal, 17);
    ASSERT_EQ(VariantChangeType(&v.v, &v.v, 0, VT_BSTR), S_OK);
    EXPECT_EQ(std::u16string(v.v.bstrVal), u"17");
}

TEST(Variant, byReferenceSource_convertsThePointedValue)
{
    LONG number = 5;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &number;
    Var dest;
    ASSERT_EQ(VariantChangeType(&dest.v, &ref, 0, VT_BSTR), S_OK);
    EXPECT_EQ(std::u16string(dest.v.bstrVal), u"5");

    BString text(u"12");
    BSTR raw = text.get();
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &raw;
    Var copied;
    ASSERT_EQ(VariantCopyInd(&copied.v, &ref), S_OK);
    ASSERT_EQ(copied.v.vt, VT_BSTR);
    EXPECT_NE(copied.v.bstrVal, raw);
    EXPECT_EQ(std::u16string(copied.v.bstrVal), u"12");
}

TEST(Variant, copyAndClear_ownTheirStrings)
{
    Var src;
    SetText(src.v, u"owned");
    Var dest;
    ASSERT_EQ(VariantCopy(&dest.v, &src.v), S_OK);
    EXPECT_NE(dest.v.bstrVal, src.v.bstrVal);
    EXPECT_EQ(std::u16string(dest.v.bstrVal), u"owned");
    EXPECT_EQ(VariantClear(&dest.v), S_OK);
    EXPECT_EQ(dest.v.vt, VT_EMPTY);
    Var bad;
    bad.v.vt = 0x0FFF;
    EXPECT_EQ(VariantClear(&bad.v), DISP_E_BADVARTYPE);
    bad.v.vt = VT_EMPTY;
}

// An object whose default property is a text; counts its references.
class ValueObject final : public IDispatch {
public:
    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (iid != IID_IUnknown && iid != IID_IDispatch) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const GUID&, OLECHAR**, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT Invoke(DISPID id, const GUID&, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override
    {
        if (id != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || params->cArgs != 0)
            return DISP_E_MEMBERNOTFOUND;
        SetText(*result, value);
        return S_OK;
    }

    ULONG refs = 1;
    std::u16string value = u"7.5";
};

TEST(Variant, object_convertsThroughItsDefaultValue)
{
    ValueObject object;
    {
        Var src;
        src.v.vt = VT_DISPATCH;
        src.v.pdispVal = &object;
        object.AddRef();
        Var dest;
        ASSERT_EQ(VariantChangeType(&dest.v, &src.v, 0, VT_I4), S_OK);
        EXPECT_EQ(dest.v.lVal, 8);
        ASSERT_EQ(VariantChangeType(&dest.v, &src.v, 0, VT_BSTR), S_OK);
        EXPECT_EQ(std::u16string(dest.v.bstrVal), u"7.5");
        EXPECT_EQ(VariantChangeType(&dest.v, &src.v, VARIANT_NOVALUEPROP, VT_BSTR),
                  DISP_E_TYPEMISMATCH);
        object.value = u"many";
        EXPECT_EQ(VariantChangeType(&dest.v, &src.v, 0, VT_I4), DISP_E_TYPEMISMATCH);
        ASSERT_EQ(VariantChangeType(&dest.v, &src.v, 0, VT_UNKNOWN), S_OK);
        EXPECT_EQ(dest.v.punkVal, static_cast<IUnknown*>(&object));
    }
    // Every reference taken was given back.
    EXPECT_EQ(object.refs, 1u);
}

TEST(Variant, systemTimeRoundTrip_keepsDateAndSecond)
{
    const SYSTEMTIME cases[] = {{1899, 12, 0, 30, 0, 0, 0, 0},
                                {2000, 2, 0, 29, 23, 59, 59, 0},
                                {1899, 12, 0, 29, 6, 0, 0, 0},
                                {100, 1, 0, 1, 0, 0, 0, 0},
                                {9999, 12, 0, 31, 12, 30, 1, 0}};
    for (const SYSTEMTIME& in : cases) {
        double date = 0;
        ASSERT_TRUE(SystemTimeToVariantTime(&in, &date)) << in.wYear;
        SYSTEMTIME out{};
        ASSERT_TRUE(VariantTimeToSystemTime(date, &out)) << date;
        EXPECT_EQ(out.wYear, in.wYear);
        EXPECT_EQ(out.wMonth, in.wMonth);
        EXPECT_EQ(out.wDay, in.wDay);
        EXPECT_EQ(out.wHour, in.wHour);
        EXPECT_EQ(out.wMinute, in.wMinute);
        EXPECT_EQ(out.wSecond, in.wSecond);
    }
    SYSTEMTIME day{};
    ASSERT_TRUE(VariantTimeToSystemTime(36526, &day));
    EXPECT_EQ(day.wDayOfWeek, 6); // 1 January 2000 was a Saturday
    double date = 0;
    const SYSTEMTIME bad = {2000, 13, 0, 1, 0, 0, 0, 0};
    EXPECT_FALSE(SystemTimeToVariantTime(&bad, &date));
    EXPECT_FALSE(VariantTimeToSystemTime(3e6, &day));
}

} // namespace
