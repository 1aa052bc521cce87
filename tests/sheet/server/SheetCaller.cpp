#include "tests/sheet/server/SheetCaller.h"

#include "runtime/com/CodePage.h"
#include "tests/support/TempHome.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zrv::test {

Variant Variant::Text(std::u16string_view text)
{
    Variant v;
    v.m_v.vt = VT_BSTR;
    v.m_v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

Variant Variant::Long(LONG value)
{
    Variant v;
    v.m_v.vt = VT_I4;
    v.m_v.lVal = value;
    return v;
}

Variant Variant::Short(int16_t value)
{
    Variant v;
    v.m_v.vt = VT_I2;
    v.m_v.iVal = value;
    return v;
}

Variant Variant::Double(double value)
{
    Variant v;
    v.m_v.vt = VT_R8;
    v.m_v.dblVal = value;
    return v;
}

Variant Variant::Bool(bool value)
{
    Variant v;
    v.m_v.vt = VT_BOOL;
    v.m_v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::Object(IDispatch* object)
{
    Variant v;
    v.m_v.vt = VT_DISPATCH;
    v.m_v.pdispVal = object;
    object->AddRef();
    return v;
}

std::u16string Variant::text() const
{
    EXPECT_EQ(m_v.vt, VT_BSTR);
    if (m_v.vt != VT_BSTR || !m_v.bstrVal)
        return {};
    return std::u16string(m_v.bstrVal, SysStringLen(m_v.bstrVal));
}

std::string SheetLibraryPath()
{
    return ZRVSHEET_PATH;
}

ComPtr<IDispatch> CreateSheetApplication()
{
    void* library = dlopen(SheetLibraryPath().c_str(), RTLD_NOW);
    EXPECT_NE(library, nullptr) << dlerror();
    if (!library)
        return {};
    auto registerServer = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllRegisterServer"));
    EXPECT_EQ(registerServer(), S_OK);
    dlclose(library);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Excel.Application", &clsid), S_OK);
    ComPtr<IDispatch> application;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               application.putVoid()),
              S_OK);
    return application;
}

void UseDesktop(bool display, const std::string& xlsxProgram)
{
    unsetenv("WAYLAND_DISPLAY");
    if (display)
        setenv("DISPLAY", ":32", 1);
    else
        unsetenv("DISPLAY");
    static const std::string bin = MakeTempDir("bin");
    static const std::string path = bin + ":" + (getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin");
    const std::string script = bin + "/xdg-mime";
    std::ofstream(script)
        << "#!/bin/sh\n"
        << "[ \"$1 $2 $3\" = \"query default "
           "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet\" ] "
           "|| exit 2\n"
        << (xlsxProgram.empty() ? "" : "echo " + xlsxProgram + "\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    setenv("PATH", path.c_str(), 1);
}

DISPID IdOf(IDispatch* object, std::u16string_view name)
{
    if (!object)
        return DISPID_UNKNOWN;
    std::u16string copy(name);
    OLECHAR* names[] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK)
        << std::string(name.begin(), name.end());
    return id;
}

CallResult Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<Variant> args)
{
    CallResult result;
    if (!object) {
        ADD_FAILURE() << "no object to call";
        return result;
    }
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(**it);
    DISPID putId = DISPID_PROPERTYPUT;
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    DISPPARAMS params{reversed.data(), put ? &putId : nullptr, static_cast<UINT>(reversed.size()),
                      put ? 1u : 0u};
    EXCEPINFO info{};
    result.hr =
        object->Invoke(id, IID_NULL, 0, flags, &params, result.value.get(), &info, &result.argErr);
    if (info.bstrDescription)
        result.description.assign(info.bstrDescription, SysStringLen(info.bstrDescription));
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return result;
}

CallResult Call(IDispatch* object, std::u16string_view name, WORD flags, std::vector<Variant> args)
{
    return Invoke(object, IdOf(object, name), flags, std::move(args));
}

ComPtr<IDispatch> GetObject(IDispatch* object, DISPID id, std::vector<Variant> args)
{
    CallResult result = Invoke(object, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
    EXPECT_EQ(result.hr, S_OK) << std::string(result.description.begin(), result.description.end());
    EXPECT_EQ(result.value->vt, VT_DISPATCH);
    if (result.hr != S_OK || result.value->vt != VT_DISPATCH)
        return {};
    return ComPtr<IDispatch>(result.value->pdispVal);
}

ComPtr<IDispatch> GetObject(IDispatch* object, std::u16string_view name, std::vector<Variant> args)
{
    return GetObject(object, IdOf(object, name), std::move(args));
}

void Put(IDispatch* object, DISPID id, Variant value)
{
    const CallResult result = Invoke(object, id, DISPATCH_PROPERTYPUT, {std::move(value)});
    EXPECT_EQ(result.hr, S_OK) << std::string(result.description.begin(), result.description.end());
}

void Put(IDispatch* object, std::u16string_view name, Variant value)
{
    Put(object, IdOf(object, name), std::move(value));
}

namespace {

void DumpKey(HKEY parent, const std::string& name, const std::string& path,
             std::map<std::string, std::string>& out)
{
    HKEY key = 0;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    if (!path.empty())
        out[path] = "(key)";
    for (DWORD i = 0;; ++i) {
        char valueName[512];
        DWORD nameSize = sizeof valueName;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, valueName, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        out[path + "|" + valueName] =
            std::string(reinterpret_cast<const char*>(data), dataSize > 0 ? dataSize - 1 : 0);
    }
    for (DWORD i = 0;; ++i) {
        char subkey[512];
        DWORD size = sizeof subkey;
        if (RegEnumKeyExA(key, i, subkey, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        DumpKey(key, subkey, path.empty() ? subkey : path + "\\" + subkey, out);
    }
    RegCloseKey(key);
}

} // namespace

std::map<std::string, std::string> DumpRoot(HKEY root)
{
    std::map<std::string, std::string> out;
    DumpKey(root, "", "", out);
    return out;
}

} // namespace zrv::test
