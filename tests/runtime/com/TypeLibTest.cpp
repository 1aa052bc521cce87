#include "runtime/com/BString.h"
#include "runtime/com/CodePage.h"
#include "runtime/com/ComPtr.h"
#include "runtime/registry/WinReg.h"
#include "tests/runtime/com/server/CalcServer.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kCalcKey = "CLSID\\{5A1E0C02-2B3C-4D5E-8F90-A1B2C3D4E502}";
constexpr const char* kLibKey = "TypeLib\\{5A1E0C01-2B3C-4D5E-8F90-A1B2C3D4E501}";
constexpr const char* kInterfaceKey = "Interface\\{5A1E0C03-2B3C-4D5E-8F90-A1B2C3D4E503}";

std::u16string Wide(const char* text)
{
    OLECHAR buffer[4096] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, 4096);
    return buffer;
}

std::optional<std::string> ReadString(const std::string& path, const char* valueName = nullptr)
{
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char data[4096] = {};
    DWORD size = sizeof data;
    const LONG rc =
        RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::optional<std::string>(data) : std::nullopt;
}

bool KeyExists(const std::string& path)
{
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

ComPtr<ITypeLib> LoadCalcLib()
{
    ComPtr<ITypeLib> lib;
    LoadTypeLib(Wide(CALC_SERVER_PATH).c_str(), lib.put());
    return lib;
}

ComPtr<ITypeInfo> CalcInfo()
{
    ComPtr<ITypeInfo> info;
    if (ComPtr<ITypeLib> lib = LoadCalcLib())
        lib->GetTypeInfoOfGuid(IID_ICalc, info.put());
    return info;
}

// --- reading ---------------------------------------------------------------

TEST(TypeLib, loadTypeLib_readsTheLibraryTables)
{
    const ComPtr<ITypeLib> lib = LoadCalcLib();
    ASSERT_TRUE(lib);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(attr->guid == LIBID_CalcLib);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, LANG_NEUTRAL);
    EXPECT_EQ(attr->syskind, SYS_NATIVE);
    lib->ReleaseTLibAttr(attr);

    BString name;
    BString doc;
    ASSERT_EQ(lib->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), u"CALCLib");
    EXPECT_EQ(doc.view(), u"calc 1.0 Type Library");

    ASSERT_EQ(lib->GetTypeInfoCount(), 2u);
    TYPEKIND kind{};
    EXPECT_EQ(lib->GetTypeInfoType(0, &kind), S_OK);
    EXPECT_EQ(kind, TKIND_DISPATCH);
    EXPECT_EQ(lib->GetTypeInfoType(1, &kind), S_OK);
    EXPECT_EQ(kind, TKIND_COCLASS);
    EXPECT_EQ(lib->GetTypeInfoType(2, &kind), TYPE_E_ELEMENTNOTFOUND);
    ComPtr<ITypeInfo> none;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(GUID_NULL, none.put()), TYPE_E_ELEMENTNOTFOUND);
}

TEST(TypeLib, isNameAndFindName_matchWithoutCaseAndGiveTheStoredSpelling)
{
    const ComPtr<ITypeLib> lib = LoadCalcLib();
    ASSERT_TRUE(lib);
    char16_t member[] = u"setname";
    BOOL found = FALSE;
    ASSERT_EQ(lib->IsName(member, 0, &found), S_OK);
    EXPECT_TRUE(found);
    EXPECT_EQ(std::u16string(member), u"SetName");
    char16_t type[] = u"icalc";
    ASSERT_EQ(lib->IsName(type, 0, &found), S_OK);
    EXPECT_TRUE(found);
    EXPECT_EQ(std::u16string(type), u"ICalc");
    char16_t missing[] = u"Nothing";
    ASSERT_EQ(lib->IsName(missing, 0, &found), S_OK);
    EXPECT_FALSE(found);

    ITypeInfo* infos[2] = {};
    MEMBERID ids[2] = {};
    USHORT count = 2;
    char16_t sum[] = u"SUM";
    ASSERT_EQ(lib->FindName(sum, 0, infos, ids, &count), S_OK);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(ids[0], kIdSum);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(infos[0]->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(attr->guid == IID_ICalc);
    infos[0]->ReleaseTypeAttr(attr);
    infos[0]->Release();
}

TEST(TypeLib, fileWithoutTypeInformation_doesNotLoad)
{
    ComPtr<ITypeLib> lib;
    EXPECT_EQ(LoadTypeLib(Wide(ZRVRT_PATH).c_str(), lib.put()), TYPE_E_CANTLOADLIBRARY);
    EXPECT_EQ(LoadTypeLib(u"/nonexistent/libnothing.so", lib.put()), TYPE_E_CANTLOADLIBRARY);
    EXPECT_FALSE(lib);
}

TEST(TypeLib, typeInfo_describesTheInterfaceAndClass)
{
    const ComPtr<ITypeInfo> info = CalcInfo();
    ASSERT_TRUE(info);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(attr->guid == IID_ICalc);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr->cFuncs, 8);
    EXPECT_EQ(attr->cbSizeVft, 15 * sizeof(void*));
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attr);

    BString name;
    BString help;
    ASSERT_EQ(info->GetDocumentation(kIdItem, name.put(), help.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.view(), u"Item");
    EXPECT_EQ(help.view(), u"property Item");
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, name.put(), help.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(help.view(), u"ICalc Interface");
    EXPECT_EQ(info->GetDocumentation(3, name.put(), nullptr, nullptr, nullptr),
              TYPE_E_ELEMENTNOTFOUND);

    BSTR names[4] = {};
    UINT count = 0;
    ASSERT_EQ(info->GetNames(kIdItem, names, 4, &count), S_OK);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(std::u16string(names[0]), u"Item");
    EXPECT_EQ(std::u16string(names[1]), u"vlIndex");
    EXPECT_EQ(std::u16string(names[2]), u"rsText");
    for (UINT i = 0; i < count; ++i)
        SysFreeString(names[i]);

    ComPtr<ITypeLib> lib;
    ASSERT_EQ(info->GetContainingTypeLib(lib.put(), nullptr), S_OK);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(CLSID_Calc, coclass.put()), S_OK);
    HREFTYPE ref = 0;
    ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
    ComPtr<ITypeInfo> defaultInterface;
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, defaultInterface.put()), S_OK);
    ASSERT_EQ(defaultInterface->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(attr->guid == IID_ICalc);
    defaultInterface->ReleaseTypeAttr(attr);
}

TEST(TypeLib, getIDsOfNames_ignoresCaseAndMapsParameters)
{
    const ComPtr<ITypeInfo> info = CalcInfo();
    ASSERT_TRUE(info);
    struct Case {
        std::vector<const char16_t*> names;
        HRESULT hr;
        std::vector<MEMBERID> ids;
    };
    const Case cases[] = {
        {{u"Count"}, S_OK, {kIdCount}},
        {{u"COUNT"}, S_OK, {kIdCount}},
        {{u"item"}, S_OK, {kIdItem}},
        {{u"Item", u"VLINDEX"}, S_OK, {kIdItem, 0}},
        {{u"Sum", u"c", u"a"}, S_OK, {kIdSum, 2, 0}},
        {{u"Sum", u"b"}, DISP_E_UNKNOWNNAME, {kIdSum, DISPID_UNKNOWN}},
        {{u"Counter"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{u"Coun"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
    };
    for (const Case& c : cases) {
        std::vector<MEMBERID> ids(c.names.size(), 12345);
        EXPECT_EQ(info->GetIDsOfNames(const_cast<OLECHAR**>(c.names.data()),
                                      static_cast<UINT>(c.names.size()), ids.data()),
                  c.hr);
        EXPECT_EQ(ids, c.ids);
    }
}

// --- late-bound calls --------------------------------------------------------

// Arguments given in call order; DISPPARAMS holds them reversed.
class Call final {
public:
    Call& text(std::u16string_view s)
    {
        VARIANT& v = push();
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        return *this;
    }
    Call& number(LONG n)
    {
        push().vt = VT_I4;
        m_args.back().lVal = n;
        return *this;
    }
    Call& raw(const VARIANT& v)
    {
        push() = v;
        return *this;
    }
    Call& putValue()
    {
        m_put = true;
        return *this;
    }

    HRESULT invoke(IDispatch* target, DISPID id, WORD flags)
    {
        std::vector<VARIANT> reversed(m_args.rbegin(), m_args.rend());
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params = {reversed.data(), m_put ? &named : nullptr,
                             static_cast<UINT>(reversed.size()), m_put ? 1u : 0u};
        VariantClear(&result);
        clearException();
        argErr = 999;
        return target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result,
                              &exception, &argErr);
    }

    ~Call()
    {
        for (VARIANT& v : m_args)
            VariantClear(&v);
        VariantClear(&result);
        clearException();
    }

    VARIANT result = {};
    EXCEPINFO exception = {};
    UINT argErr = 0;

private:
    VARIANT& push()
    {
        VARIANT& v = m_args.emplace_back();
        VariantInit(&v);
        return v;
    }
    void clearException()
    {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        exception = {};
    }

    std::vector<VARIANT> m_args;
    bool m_put = false;
};

class LateBound : public testing::Test {
protected:
    void SetUp() override
    {
        // The server finds its type information through LoadTypeLib.
        void* object = nullptr;
        const std::string path = CALC_SERVER_PATH;
        HKEY key = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT,
                                  (std::string(kCalcKey) + "\\InprocServer32").c_str(), 0, nullptr,
                                  0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
        RegCloseKey(key);
        ASSERT_EQ(
            CoCreateInstance(CLSID_Calc, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &object),
            S_OK);
        m_calc = ComPtr<IDispatch>::attach(static_cast<IDispatch*>(object));
    }

    ComPtr<IDispatch> m_calc;
};

TEST_F(LateBound, methodsAndPropertyGet_returnTheirRetval)
{
    Call count;
    ASSERT_EQ(count.invoke(m_calc.get(), kIdCount, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(count.result.vt, VT_I4);
    EXPECT_EQ(count.result.lVal, 3);

    Call item;
    ASSERT_EQ(item.number(2).invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), S_OK);
    ASSERT_EQ(item.result.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(item.result.bstrVal), u"two");

    // Script hosts call a property as METHOD | PROPERTYGET.
    Call both;
    ASSERT_EQ(both.number(3).invoke(m_calc.get(), kIdItem, DISPATCH_METHOD | DISPATCH_PROPERTYGET),
              S_OK);
    EXPECT_EQ(std::u16string(both.result.bstrVal), u"three");

    Call name;
    ASSERT_EQ(name.invoke(m_calc.get(), kIdName, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(std::u16string(name.result.bstrVal), u"calc");
}

TEST_F(LateBound, propertyPut_passesIndexAndValue)
{
    Call put;
    ASSERT_EQ(
        put.number(1).text(u"uno").putValue().invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYPUT),
        S_OK);
    EXPECT_EQ(put.result.vt, VT_EMPTY);
    Call get;
    ASSERT_EQ(get.number(1).invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(std::u16string(get.result.bstrVal), u"uno");

    // Without the named argument the last one is still the value.
    Call plain;
    ASSERT_EQ(plain.number(2).text(u"dos").invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYPUT),
              S_OK);
    ASSERT_EQ(get.invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), S_OK);
    Call check;
    ASSERT_EQ(check.number(2).invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(std::u16string(check.result.bstrVal), u"dos");
}

TEST_F(LateBound, arguments_areConvertedToParameterTypes)
{
    // Text index, number value.
    Call put;
    ASSERT_EQ(
        put.text(u" 3 ").number(42).putValue().invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYPUT),
        S_OK);
    Call get;
    ASSERT_EQ(get.text(u"2.5").invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(std::u16string(get.result.bstrVal), u"two"); // 2.5 rounds to 2
    Call get3;
    ASSERT_EQ(get3.number(3).invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(std::u16string(get3.result.bstrVal), u"42");

    // Short, boolean and long words side by side, negatives included.
    VARIANT yes;
    VariantInit(&yes);
    yes.vt = VT_BOOL;
    yes.boolVal = VARIANT_TRUE;
    Call sum;
    ASSERT_EQ(sum.text(u"-7").raw(yes).number(100000).invoke(m_calc.get(), kIdSum, DISPATCH_METHOD),
              S_OK);
    EXPECT_EQ(sum.result.lVal, -(100000 - 7));

    // A by-reference argument is read through.
    LONG index = 1;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &index;
    Call byRef;
    ASSERT_EQ(byRef.raw(ref).invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(std::u16string(byRef.result.bstrVal), u"one");
}

TEST_F(LateBound, badCalls_giveTheirDispatchErrors)
{
    Call call;
    EXPECT_EQ(call.invoke(m_calc.get(), 3, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(call.invoke(m_calc.get(), kIdCount, DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(call.invoke(m_calc.get(), kIdName, DISPATCH_PROPERTYPUT), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(call.invoke(m_calc.get(), kIdItem, DISPATCH_PROPERTYGET), DISP_E_BADPARAMCOUNT);

    Call tooMany;
    EXPECT_EQ(tooMany.number(1).number(2).invoke(m_calc.get(), kIdDelete, DISPATCH_METHOD),
              DISP_E_BADPARAMCOUNT);

    Call notNumber;
    EXPECT_EQ(notNumber.text(u"abc").invoke(m_calc.get(), kIdDelete, DISPATCH_METHOD),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(notNumber.argErr, 0u);

    Call secondBad;
    EXPECT_EQ(
        secondBad.number(1).text(u"x").number(2).invoke(m_calc.get(), kIdSum, DISPATCH_METHOD),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(secondBad.argErr, 1u); // position in the reversed array

    Call overflow;
    EXPECT_EQ(
        overflow.number(40000).number(0).number(0).invoke(m_calc.get(), kIdSum, DISPATCH_METHOD),
        DISP_E_OVERFLOW);

    // Nothing changed on the way.
    Call count;
    ASSERT_EQ(count.invoke(m_calc.get(), kIdCount, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(count.result.lVal, 3);
}

TEST_F(LateBound, failingMember_becomesExceptionWithErrorInfo)
{
    Call fail;
    ASSERT_EQ(fail.text(u"Unknown error").invoke(m_calc.get(), kIdFail, DISPATCH_METHOD),
              DISP_E_EXCEPTION);
    EXPECT_EQ(fail.exception.scode, E_FAIL);
    EXPECT_EQ(std::u16string(fail.exception.bstrDescription), u"Unknown error");
    EXPECT_EQ(std::u16string(fail.exception.bstrSource), u"ZrvTest.Calc");
    EXPECT_EQ(fail.result.vt, VT_EMPTY);
    // The error information went into EXCEPINFO.
    ComPtr<IErrorInfo> left;
    EXPECT_EQ(GetErrorInfo(0, left.put()), S_FALSE);
}

TEST_F(LateBound, callByName_findsTheMemberFirst)
{
    const char16_t* names[] = {u"delete"};
    DISPID id = 0;
    ASSERT_EQ(m_calc->GetIDsOfNames(IID_NULL, const_cast<OLECHAR**>(names), 1, 0, &id), S_OK);
    Call del;
    ASSERT_EQ(del.number(1).invoke(m_calc.get(), id, DISPATCH_METHOD), S_OK);
    Call count;
    ASSERT_EQ(count.invoke(m_calc.get(), kIdCount, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(count.result.lVal, 2);

    // A caller that wants no result still gets the retval freed.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(
        m_calc->Invoke(kIdName, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
        S_OK);
}

// --- registration ------------------------------------------------------------

class TypeLibRegistration : public testing::Test {
protected:
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "TypeLib");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "Interface");
    }
};

TEST_F(TypeLibRegistration, registerTypeLib_writesTheUsualEntries)
{
    const ComPtr<ITypeLib> lib = LoadCalcLib();
    ASSERT_TRUE(lib);
    ASSERT_EQ(RegisterTypeLib(lib.get(), Wide(CALC_SERVER_PATH).c_str(), u"/opt/calc/help"), S_OK);

    const std::string version = std::string(kLibKey) + "\\1.0";
    EXPECT_EQ(ReadString(version), "calc 1.0 Type Library");
    EXPECT_EQ(ReadString(version + "\\0\\linux64"), CALC_SERVER_PATH);
    EXPECT_EQ(ReadString(version + "\\FLAGS"), "0");
    EXPECT_EQ(ReadString(version + "\\HELPDIR"), "/opt/calc/help");
    EXPECT_EQ(ReadString(kInterfaceKey), "ICalc");
    EXPECT_EQ(ReadString(std::string(kInterfaceKey) + "\\ProxyStubClsid"),
              "{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(ReadString(std::string(kInterfaceKey) + "\\ProxyStubClsid32"),
              "{00020424-0000-0000-C000-000000000046}");
    EXPECT_EQ(ReadString(std::string(kInterfaceKey) + "\\TypeLib"),
              "{5A1E0C01-2B3C-4D5E-8F90-A1B2C3D4E501}");
    EXPECT_EQ(ReadString(std::string(kInterfaceKey) + "\\TypeLib", "Version"), "1.0");

    BString path;
    ASSERT_EQ(QueryPathOfRegTypeLib(LIBID_CalcLib, 1, 0, LOCALE_USER_DEFAULT, path.put()), S_OK);
    EXPECT_EQ(path.view(), Wide(CALC_SERVER_PATH));
    ComPtr<ITypeLib> reloaded;
    ASSERT_EQ(LoadRegTypeLib(LIBID_CalcLib, 1, 0, 0, reloaded.put()), S_OK);
    EXPECT_EQ(reloaded->GetTypeInfoCount(), 2u);
    EXPECT_EQ(LoadRegTypeLib(LIBID_CalcLib, 2, 0, 0, reloaded.put()), TYPE_E_LIBNOTREGISTERED);
}

TEST_F(TypeLibRegistration, registeredPath_fallsBackToNeutralLocaleAndNewerMinor)
{
    const ComPtr<ITypeLib> lib = LoadCalcLib();
    ASSERT_EQ(RegisterTypeLib(lib.get(), Wide(CALC_SERVER_PATH).c_str(), nullptr), S_OK);
    // Registered for locale 0 and version 1.0: a US English caller finds it,
    // and so does one that asks for any 1.x up to 1.0.
    BString path;
    EXPECT_EQ(QueryPathOfRegTypeLib(LIBID_CalcLib, 1, 0, LANG_ENGLISH_US, path.put()), S_OK);
    EXPECT_EQ(path.view(), Wide(CALC_SERVER_PATH));
    EXPECT_EQ(QueryPathOfRegTypeLib(LIBID_CalcLib, 1, 1, 0, path.put()), TYPE_E_LIBNOTREGISTERED);

    // A newer minor version answers for an older request.
    HKEY key = 0;
    const std::string newer = std::string(kLibKey) + "\\1.a\\0\\linux64";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, newer.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("/opt/newer.so"), 14);
    RegCloseKey(key);
    EXPECT_EQ(QueryPathOfRegTypeLib(LIBID_CalcLib, 1, 1, 0, path.put()), S_OK);
    EXPECT_EQ(path.view(), u"/opt/newer.so");
    EXPECT_EQ(QueryPathOfRegTypeLib(LIBID_CalcLib, 1, 0, 0, path.put()), S_OK);
    EXPECT_EQ(path.view(), Wide(CALC_SERVER_PATH));
}

TEST_F(TypeLibRegistration, unRegisterTypeLib_removesOnlyItsOwnEntries)
{
    // Someone else's registrations.
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT,
                              "Interface\\{11111111-2222-3333-4444-555555555555}", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "TypeLib\\{11111111-2222-3333-4444-555555555555}",
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    const ComPtr<ITypeLib> lib = LoadCalcLib();
    ASSERT_EQ(RegisterTypeLib(lib.get(), Wide(CALC_SERVER_PATH).c_str(), nullptr), S_OK);
    EXPECT_EQ(UnRegisterTypeLib(LIBID_CalcLib, 1, 0, LANG_NEUTRAL, SYS_WIN32), E_INVALIDARG);
    ASSERT_EQ(UnRegisterTypeLib(LIBID_CalcLib, 1, 0, LANG_NEUTRAL, SYS_NATIVE), S_OK);

    EXPECT_FALSE(KeyExists(kLibKey));
    EXPECT_FALSE(KeyExists(kInterfaceKey));
    EXPECT_TRUE(KeyExists("Interface\\{11111111-2222-3333-4444-555555555555}"));
    EXPECT_TRUE(KeyExists("TypeLib\\{11111111-2222-3333-4444-555555555555}"));
    EXPECT_EQ(UnRegisterTypeLib(LIBID_CalcLib, 1, 0, LANG_NEUTRAL, SYS_NATIVE),
              TYPE_E_REGISTRYACCESS);
    BString path;
    EXPECT_EQ(QueryPathOfRegTypeLib(LIBID_CalcLib, 1, 0, 0, path.put()), TYPE_E_LIBNOTREGISTERED);
}

} // namespace
