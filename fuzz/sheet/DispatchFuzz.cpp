// The spreadsheet application's automation surface on arbitrary calls: any
// member id or name, any flags, argument counts, types, by-reference values,
// named arguments and objects answer with a result code, never a crash or a
// leak. The input is a little program of calls on a pool of objects the calls
// return. The application stays invisible (no display), and Workbooks.Open is
// left out: the file readers have targets of their own.

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"
#include "sheet/automation/SheetDispatchIds.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" HRESULT DllGetClassObject(const GUID* clsid, const GUID* iid, void** ppv);

namespace {

constexpr CLSID kApplication = {
    0xEABFD427, 0x9ED5, 0x4BC0, {0xBA, 0xB3, 0x28, 0x13, 0x56, 0xF4, 0xFD, 0xA8}};
constexpr DISPID kIds[] = {DISPID_XL_SHEETS_IN_NEW_WORKBOOK,
                           DISPID_XL_SCREEN_UPDATING,
                           DISPID_XL_INTERACTIVE,
                           DISPID_XL_VISIBLE,
                           DISPID_XL_OPERATING_SYSTEM,
                           DISPID_XL_WORKBOOKS,
                           DISPID_XL_ACTIVE_SHEET,
                           DISPID_XL_SELECTION,
                           DISPID_XL_CLOSE,
                           DISPID_XL_RANGE,
                           DISPID_XL_ROWS,
                           DISPID_XL_COLUMNS,
                           DISPID_XL_ADD,
                           DISPID_XL_COUNT,
                           DISPID_XL_VALUE,
                           DISPID_VALUE,
                           DISPID_XL_ACTIVATE,
                           DISPID_XL_ROW_HEIGHT,
                           DISPID_XL_SELECT,
                           DISPID_XL_COLUMN_WIDTH,
                           DISPID_XL_NAME,
                           DISPID_PROPERTYPUT};
constexpr DISPID kOpen = DISPID_XL_OPEN;
constexpr WORD kFlags[] = {
    DISPATCH_METHOD,      DISPATCH_PROPERTYGET,    DISPATCH_METHOD | DISPATCH_PROPERTYGET,
    DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, 0};
const char16_t* const kNames[] = {u"Value",       u"VALUE",     u"Add",      u"Range",
                                  u"Rows",        u"Columns",   u"Select",   u"ColumnWidth",
                                  u"RowHeight",   u"Activate",  u"Close",    u"Workbooks",
                                  u"ActiveSheet", u"Selection", u"_Default", u""};

class Input final {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    template <typename T> T Value()
    {
        T value{};
        uint8_t bytes[sizeof(T)] = {};
        for (uint8_t& b : bytes)
            b = Byte();
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    std::u16string Text()
    {
        const size_t length = Byte() % 40;
        std::u16string text;
        for (size_t i = 0; i < length; ++i) {
            const uint8_t c = Byte();
            // Mostly cell-address characters, sometimes anything.
            text += c < 200 ? static_cast<char16_t>(u"AaBXFD019$:- \r\n\0"[c % 17])
                            : static_cast<char16_t>(Value<uint16_t>());
        }
        if (Byte() == 0xFF)
            text.append(static_cast<size_t>(Value<uint16_t>()), u'x'); // long texts
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// One argument; `storage` keeps what a by-reference argument points at.
VARIANT Argument(Input& in, const std::vector<ComPtr<IDispatch>>& pool,
                 std::vector<VARIANT>& storage)
{
    VARIANT v;
    VariantInit(&v);
    switch (in.Byte() % 11) {
    case 0:
        break;
    case 1:
        v.vt = VT_NULL;
        break;
    case 2:
        v.vt = VT_I2;
        v.iVal = in.Value<int16_t>();
        break;
    case 3:
        v.vt = VT_I4;
        v.lVal = in.Value<int32_t>();
        break;
    case 4:
        v.vt = VT_R8;
        v.dblVal = in.Value<double>();
        break;
    case 5:
        v.vt = VT_BOOL;
        v.boolVal = in.Byte() % 2 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case 6:
    case 7: {
        const std::u16string text = in.Text();
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        break;
    }
    case 8:
        v.vt = VT_ERROR;
        v.scode = in.Byte() % 2 ? DISP_E_PARAMNOTFOUND : in.Value<int32_t>();
        break;
    case 9:
        v.vt = VT_DISPATCH;
        v.pdispVal = pool.empty() ? nullptr : pool[in.Byte() % pool.size()].get();
        if (v.pdispVal)
            v.pdispVal->AddRef();
        break;
    default: {
        // Reserved room only: what earlier arguments point at never moves.
        VARIANT inner = Argument(in, pool, storage);
        if (storage.size() < storage.capacity()) {
            storage.push_back(inner);
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = &storage.back();
        } else {
            VariantClear(&inner);
        }
        break;
    }
    }
    return v;
}

void CallOnce(Input& in, std::vector<ComPtr<IDispatch>>& pool)
{
    IDispatch* object = pool[in.Byte() % pool.size()].get();
    const uint8_t how = in.Byte();
    if (how % 8 == 0) {
        std::u16string name = kNames[in.Byte() % std::size(kNames)];
        if (how & 0x80)
            name = in.Text();
        std::u16string named = in.Text();
        OLECHAR* names[] = {name.data(), named.data()};
        DISPID ids[2] = {};
        object->GetIDsOfNames(IID_NULL, names, 1 + (how >> 6 & 1), 0, ids);
        return;
    }
    DISPID id = how & 0x40 ? in.Value<int32_t>() : kIds[in.Byte() % std::size(kIds)];
    if (id == kOpen)
        return;
    const WORD flags = kFlags[in.Byte() % std::size(kFlags)];
    std::vector<VARIANT> storage;
    storage.reserve(8);
    std::vector<VARIANT> args;
    const size_t count = in.Byte() % 4;
    for (size_t i = 0; i < count; ++i)
        args.push_back(Argument(in, pool, storage));
    DISPID named = in.Byte() % 3 == 0 ? DISPID_PROPERTYPUT : in.Value<int32_t>();
    const UINT namedCount = args.empty() ? 0 : in.Byte() % 2;
    DISPPARAMS params{args.data(), &named, static_cast<UINT>(args.size()), namedCount};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT argErr = 0;
    object->Invoke(id, IID_NULL, 0, flags, &params, in.Byte() % 4 ? &result : nullptr, &excep,
                   &argErr);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    if (result.vt == VT_DISPATCH && result.pdispVal && pool.size() < 12)
        pool.push_back(ComPtr<IDispatch>(result.pdispVal));
    VariantClear(&result);
    for (VARIANT& arg : args)
        VariantClear(&arg);
    for (VARIANT& arg : storage)
        VariantClear(&arg);
    if (in.Byte() % 5 == 0 && pool.size() > 1)
        pool.erase(pool.begin() + 1 + in.Byte() % (pool.size() - 1));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ComPtr<IClassFactory> factory;
    ComPtr<IDispatch> application;
    if (DllGetClassObject(&kApplication, &IID_IClassFactory, factory.putVoid()) != S_OK ||
        factory->CreateInstance(nullptr, IID_IDispatch, application.putVoid()) != S_OK)
        std::abort();
    std::vector<ComPtr<IDispatch>> pool{application};
    application.reset();
    Input in(data, size);
    for (int calls = 0; !in.Empty() && calls < 64; ++calls)
        CallOnce(in, pool);
    ComPtr<IErrorInfo> info;
    GetErrorInfo(0, info.put());
    return 0;
}
