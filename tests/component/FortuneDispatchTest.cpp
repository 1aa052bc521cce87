// Late-bound calls of the Fortune class and the type information it carries:
// names, dispatch ids, argument conversion and help strings.

#include "component/ZrvVersionInfo.h"
#include "runtime/com/BString.h"
#include "tests/component/ArchiveText.h"
#include "tests/component/CComponentLibrary.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using zrv::test::FortuneLibrary;

// Owner of an argument list; arguments are given in call order.
class Arguments final {
public:
    Arguments() = default;
    ~Arguments()
    {
        for (VARIANT& v : m_args)
            VariantClear(&v);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    Arguments& Text(const std::u16string& text)
    {
        VARIANT& v = Push();
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *this;
    }
    Arguments& Long(LONG value)
    {
        VARIANT& v = Push();
        v.vt = VT_I4;
        v.lVal = value;
        return *this;
    }

    // The DISPPARAMS of a call, arguments in reverse order.
    DISPPARAMS Params(bool propertyPut)
    {
        m_reversed.assign(m_args.rbegin(), m_args.rend());
        return {m_reversed.data(), propertyPut ? &m_putId : nullptr,
                static_cast<UINT>(m_reversed.size()), propertyPut ? 1u : 0u};
    }

private:
    VARIANT& Push()
    {
        VARIANT& v = m_args.emplace_back();
        VariantInit(&v);
        return v;
    }

    std::vector<VARIANT> m_args;
    std::vector<VARIANT> m_reversed;
    DISPID m_putId = DISPID_PROPERTYPUT;
};

class FortuneDispatch : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FortuneLibrary().IsLoaded()) << FortuneLibrary().LoadError();
        const ComPtr<IFortune> fortune = FortuneLibrary().CreateFortune();
        ASSERT_TRUE(fortune);
        fortune.queryInterface(IID_IDispatch, m_dispatch);
        m_file = zrv::test::MakeTempDir("archives") + "/Proverbs";
    }

    HRESULT IdOf(const char16_t* name, DISPID& id)
    {
        OLECHAR* names[] = {const_cast<OLECHAR*>(name)};
        return m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    }

    HRESULT Call(DISPID id, WORD flags, Arguments& args, VARIANT* result = nullptr)
    {
        DISPPARAMS params = args.Params(flags == DISPATCH_PROPERTYPUT);
        EXCEPINFO exception{};
        UINT argErr = 0;
        const HRESULT hr = m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                              result, &exception, &argErr);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        return hr;
    }

    // Calls by name and returns the result as text (empty variant: "<empty>").
    std::u16string CallByName(const char16_t* name, WORD flags, Arguments& args)
    {
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(IdOf(name, id), S_OK) << "name lookup";
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(Call(id, flags, args, &result), S_OK);
        std::u16string text = u"<empty>";
        if (result.vt != VT_EMPTY && VariantChangeType(&result, &result, 0, VT_BSTR) == S_OK)
            text.assign(result.bstrVal, SysStringLen(result.bstrVal));
        VariantClear(&result);
        return text;
    }

    ComPtr<IDispatch> m_dispatch;
    std::string m_file;
};

TEST_F(FortuneDispatch, namesMapToDispatchIds_withoutRegardToCase)
{
    struct Case {
        const char16_t* name;
        DISPID id;
    };
    const Case cases[] = {{u"Load", 1},    {u"Count", 2},  {u"Add", 4},    {u"Item", 5},
                          {u"Delete", 6},  {u"Create", 7}, {u"Rename", 8}, {u"Name", 9},
                          {u"Header", 10}, {u"COUNT", 2},  {u"item", 5},   {u"hEADER", 10}};
    for (const Case& c : cases) {
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(IdOf(c.name, id), S_OK);
        EXPECT_EQ(id, c.id);
    }
    DISPID id = 0;
    EXPECT_EQ(IdOf(u"New", id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(IdOf(u"Items", id), DISP_E_UNKNOWNNAME);
}

TEST_F(FortuneDispatch, callsByName_workLikeTheVtable)
{
    {
        Arguments args;
        args.Text(std::u16string(m_file.begin(), m_file.end()));
        CallByName(u"Create", DISPATCH_METHOD, args);
    }
    for (const char16_t* text : {u"Look before you leap.", u"A\r\nB"}) {
        Arguments args;
        args.Text(text);
        CallByName(u"Add", DISPATCH_METHOD, args);
    }
    {
        Arguments args;
        args.Text(u"Proverbs");
        CallByName(u"Header", DISPATCH_PROPERTYPUT, args);
    }
    {
        Arguments args;
        args.Long(1).Text(u"Haste makes waste.");
        CallByName(u"Item", DISPATCH_PROPERTYPUT, args);
    }
    EXPECT_EQ(zrv::test::ReadBytes(m_file), "Proverbs\n%\nHaste makes waste.\n%\nA\r\nB");

    Arguments none;
    EXPECT_EQ(CallByName(u"Count", DISPATCH_METHOD, none), u"2");
    EXPECT_EQ(CallByName(u"Name", DISPATCH_METHOD, none), u"Proverbs");
    EXPECT_EQ(CallByName(u"Header", DISPATCH_PROPERTYGET, none), u"Proverbs");
    Arguments second;
    second.Long(2);
    EXPECT_EQ(CallByName(u"Item", DISPATCH_PROPERTYGET, second), u"A\r\nB");
    // Arguments are converted to the parameter types.
    Arguments textIndex;
    textIndex.Text(u"1");
    EXPECT_EQ(CallByName(u"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD, textIndex),
              u"Haste makes waste.");
    Arguments deleted;
    deleted.Text(u"1");
    CallByName(u"Delete", DISPATCH_METHOD, deleted);
    EXPECT_EQ(CallByName(u"Count", DISPATCH_METHOD, none), u"1");
}

TEST_F(FortuneDispatch, callsById_reportTheDispatchFailures)
{
    Arguments none;
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(2, DISPATCH_METHOD, none, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
    EXPECT_EQ(Call(3, DISPATCH_METHOD, none, &result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(11, DISPATCH_METHOD, none, &result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(5, DISPATCH_PROPERTYGET, none, &result), DISP_E_BADPARAMCOUNT);
    Arguments notANumber;
    notANumber.Text(u"first");
    EXPECT_EQ(Call(5, DISPATCH_PROPERTYGET, notANumber, &result), DISP_E_TYPEMISMATCH);
    VariantClear(&result);

    const GUID other = IID_IFortune;
    DISPID id = 0;
    OLECHAR* names[] = {const_cast<OLECHAR*>(u"Count")};
    EXPECT_EQ(m_dispatch->GetIDsOfNames(other, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
}

std::u16string Text(const BString& text)
{
    return std::u16string(text.view());
}

TEST_F(FortuneDispatch, typeInformation_carriesNamesAndHelpStrings)
{
    UINT count = 0;
    ASSERT_EQ(m_dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(m_dispatch->GetTypeInfo(0, 0, info.put()), S_OK);
    ComPtr<ITypeInfo> none;
    EXPECT_NE(m_dispatch->GetTypeInfo(1, 0, none.put()), S_OK);

    struct Member {
        DISPID id;
        const char16_t* name;
        const char16_t* help;
    };
    const Member members[] = {{1, u"Load", u"method Load"},       {2, u"Count", u"method Count"},
                              {4, u"Add", u"method Add"},         {5, u"Item", u"property Item"},
                              {6, u"Delete", u"method Delete"},   {7, u"Create", u"method New"},
                              {8, u"Rename", u"method Rename"},   {9, u"Name", u"method Name"},
                              {10, u"Header", u"property Header"}};
    for (const Member& m : members) {
        BString name;
        BString help;
        ASSERT_EQ(info->GetDocumentation(m.id, name.put(), help.put(), nullptr, nullptr), S_OK);
        EXPECT_EQ(Text(name), m.name);
        EXPECT_EQ(Text(help), m.help);
    }
    BString names[3];
    UINT got = 0;
    ASSERT_EQ(info->GetNames(5, reinterpret_cast<BSTR*>(names), 3, &got), S_OK);
    ASSERT_GE(got, 2u);
    EXPECT_EQ(Text(names[0]), u"Item");
    EXPECT_EQ(Text(names[1]), u"vlIndex");

    BString interfaceName;
    BString interfaceHelp;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, interfaceName.put(), interfaceHelp.put(),
                                     nullptr, nullptr),
              S_OK);
    EXPECT_EQ(Text(interfaceName), u"IFortune");
    EXPECT_EQ(Text(interfaceHelp), u"IFortune Interface");

    ComPtr<ITypeLib> lib;
    UINT index = 0;
    ASSERT_EQ(info->GetContainingTypeLib(lib.put(), &index), S_OK);
    BString libName;
    BString libHelp;
    ASSERT_EQ(lib->GetDocumentation(-1, libName.put(), libHelp.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(libName), u"ZRVFORTLib");
    EXPECT_EQ(Text(libHelp), u"zrvfort 1.0 Type Library");
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(attr->guid == LIBID_ZRVFORTLib);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 0u);
    lib->ReleaseTLibAttr(attr);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(CLSID_Fortune, coclass.put()), S_OK);
    BString className;
    BString classHelp;
    ASSERT_EQ(
        coclass->GetDocumentation(MEMBERID_NIL, className.put(), classHelp.put(), nullptr, nullptr),
        S_OK);
    EXPECT_EQ(Text(className), u"Fortune");
    EXPECT_EQ(Text(classHelp), u"Fortune Class");
}

// The version strings travel as an exported record in place of a resource.
TEST(FortuneVersion, versionRecord_isExported)
{
    const auto* record =
        static_cast<const ZrvVersionInfo*>(FortuneLibrary().Symbol(ZRV_VERSIONINFO_SYMBOL));
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->format, ZRV_VERSIONINFO_FORMAT);
    EXPECT_STREQ(record->fileVersionText, "1, 0, 0, 1");
    EXPECT_STREQ(record->fileDescription, "zrvfort Module");
    EXPECT_STREQ(record->originalFilename, "zrvfort.DLL");
}

} // namespace
