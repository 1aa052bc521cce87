#include "tests/runtime/com/server/CalcServer.h"

#include "runtime/com/CodePage.h"
#include "runtime/com/ComPtr.h"
#include "runtime/com/CUnknown.h"
#include "runtime/com/TypeLibData.h"

#include <atomic>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <vector>

#define CALC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// --- type information ------------------------------------------------------

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kRetval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;

const ZrvTypeParam kSetName[] = {{"vsName", VT_BSTR, kIn}};
const ZrvTypeParam kCount[] = {{"plCount", VT_I4, kRetval}};
const ZrvTypeParam kItemGet[] = {{"vlIndex", VT_I4, kIn}, {"rsText", VT_BSTR, kRetval}};
const ZrvTypeParam kItemPut[] = {{"vlIndex", VT_I4, kIn}, {nullptr, VT_BSTR, kIn}};
const ZrvTypeParam kDelete[] = {{"vlIndex", VT_I4, kIn}};
const ZrvTypeParam kName[] = {{"psName", VT_BSTR, kRetval}};
const ZrvTypeParam kFail[] = {{"vsDescription", VT_BSTR, kIn}};
const ZrvTypeParam kSum[] = {
    {"a", VT_I2, kIn}, {"negate", VT_BOOL, kIn}, {"c", VT_I4, kIn}, {"result", VT_I4, kRetval}};

const ZrvTypeMember kMembers[] = {
    {"SetName", kIdSetName, INVOKE_FUNC, "method SetName", kSetName, 1},
    {"Count", kIdCount, INVOKE_FUNC, "method Count", kCount, 1},
    {"Item", kIdItem, INVOKE_PROPERTYGET, "property Item", kItemGet, 2},
    {"Item", kIdItem, INVOKE_PROPERTYPUT, "property Item", kItemPut, 2},
    {"Delete", kIdDelete, INVOKE_FUNC, "method Delete", kDelete, 1},
    {"Name", kIdName, INVOKE_FUNC, "method Name", kName, 1},
    {"Fail", kIdFail, INVOKE_FUNC, "method Fail", kFail, 1},
    {"Sum", kIdSum, INVOKE_FUNC, "method Sum", kSum, 4},
};

const ZrvTypeInterface kInterfaces[] = {
    {IID_ICalc, "ICalc", "ICalc Interface",
     TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE, kMembers,
     sizeof kMembers / sizeof kMembers[0]}};

const ZrvTypeCoClass kClasses[] = {
    {CLSID_Calc, "Calc", "Calc Class", TYPEFLAG_FCANCREATE, &IID_ICalc}};

} // namespace

ZRV_TYPELIB_DEFINE = {ZRV_TYPELIB_FORMAT,
                      LIBID_CalcLib,
                      1,
                      0,
                      LANG_NEUTRAL,
                      "CALCLib",
                      "calc 1.0 Type Library",
                      0,
                      kInterfaces,
                      1,
                      kClasses,
                      1};

namespace {

std::atomic<long> g_moduleCount{0};

std::u16string Text(BSTR s)
{
    return s ? std::u16string(s, SysStringLen(s)) : std::u16string();
}

// The type information of ICalc, read once from this library's own file.
ITypeInfo* CalcTypeInfo()
{
    static std::once_flag once;
    static ITypeInfo* info = nullptr;
    std::call_once(once, [] {
        Dl_info self{};
        if (!dladdr(reinterpret_cast<const void*>(&CalcTypeInfo), &self) || !self.dli_fname)
            return;
        ComPtr<ITypeLib> lib;
        OLECHAR path[4096] = {};
        if (MultiByteToWideChar(CP_ACP, 0, self.dli_fname, -1, path, 4096) &&
            SUCCEEDED(LoadTypeLib(path, lib.put())))
            lib->GetTypeInfoOfGuid(IID_ICalc, &info);
    });
    return info;
}

class Calc final
    : public zrv::com::CUnknown<Calc, zrv::com::Face<ICalc, IID_IDispatch, IID_ICalc>> {
public:
    Calc() { ++g_moduleCount; }

    HRESULT GetTypeInfoCount(UINT* count) override
    {
        *count = 1;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        *info = index == 0 ? CalcTypeInfo() : nullptr;
        if (!*info)
            return DISP_E_BADINDEX;
        (*info)->AddRef();
        return S_OK;
    }
    HRESULT GetIDsOfNames(const GUID&, OLECHAR** names, UINT count, LCID, DISPID* ids) override
    {
        ITypeInfo* info = CalcTypeInfo();
        return info ? info->GetIDsOfNames(names, count, ids) : E_UNEXPECTED;
    }
    HRESULT Invoke(DISPID id, const GUID&, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override
    {
        ITypeInfo* info = CalcTypeInfo();
        return info ? info->Invoke(static_cast<ICalc*>(this), id, flags, params, result, excepInfo,
                                   argErr)
                    : E_UNEXPECTED;
    }

    HRESULT SetName(BSTR name) override
    {
        m_name = Text(name);
        return S_OK;
    }
    HRESULT Count(LONG* count) override
    {
        *count = static_cast<LONG>(m_items.size());
        return S_OK;
    }
    HRESULT get_Item(LONG index, BSTR* text) override
    {
        const std::u16string item = inRange(index) ? m_items[index - 1] : std::u16string();
        *text = SysAllocStringLen(item.data(), static_cast<UINT>(item.size()));
        return S_OK;
    }
    HRESULT put_Item(LONG index, BSTR text) override
    {
        if (inRange(index))
            m_items[index - 1] = Text(text);
        return S_OK;
    }
    HRESULT Delete(LONG index) override
    {
        if (inRange(index))
            m_items.erase(m_items.begin() + (index - 1));
        return S_OK;
    }
    HRESULT Name(BSTR* name) override
    {
        *name = SysAllocStringLen(m_name.data(), static_cast<UINT>(m_name.size()));
        return S_OK;
    }
    HRESULT Fail(BSTR description) override
    {
        ComPtr<ICreateErrorInfo> create;
        CreateErrorInfo(create.put());
        create->SetSource(const_cast<LPOLESTR>(u"ZrvTest.Calc"));
        create->SetDescription(description);
        ComPtr<IErrorInfo> info;
        create.queryInterface(IID_IErrorInfo, info);
        SetErrorInfo(0, info.get());
        return E_FAIL;
    }
    HRESULT Sum(SHORT a, VARIANT_BOOL negate, LONG c, LONG* result) override
    {
        *result = (negate ? -1 : 1) * (a + c);
        return S_OK;
    }

private:
    friend CUnknown;
    ~Calc() { --g_moduleCount; }
    bool inRange(LONG index) const
    {
        return index >= 1 && static_cast<size_t>(index) <= m_items.size();
    }

    std::u16string m_name = u"calc";
    std::vector<std::u16string> m_items = {u"one", u"two", u"three"};
};

class CalcFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The factory lives as long as the library.
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* calc = new Calc;
        const HRESULT hr = calc->QueryInterface(iid, ppv);
        calc->Release();
        return hr;
    }
    HRESULT LockServer(int32_t lock) override
    {
        g_moduleCount += lock ? 1 : -1;
        return S_OK;
    }
};

CalcFactory g_factory;

} // namespace

CALC_EXPORT HRESULT DllGetClassObject(const GUID* clsid, const GUID* iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!clsid || !iid || *clsid != CLSID_Calc)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(*iid, ppv);
}

CALC_EXPORT HRESULT DllCanUnloadNow(void)
{
    return g_moduleCount == 0 ? S_OK : S_FALSE;
}
