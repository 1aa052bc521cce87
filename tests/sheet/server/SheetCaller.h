#pragma once

// The spreadsheet application called as the editor calls it: created by its
// ProgID through the component runtime, driven through IDispatch only.

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"
#include "runtime/registry/WinReg.h"
#include "sheet/automation/SheetDispatchIds.h"

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace zrv::test {

// An owned VARIANT.
class Variant final {
public:
    Variant() { VariantInit(&m_v); }
    ~Variant() { VariantClear(&m_v); }
    Variant(const Variant& other) : Variant() { VariantCopy(&m_v, &other.m_v); }
    Variant& operator=(const Variant&) = delete;

    static Variant Text(std::u16string_view text);
    static Variant Long(LONG value);
    static Variant Short(int16_t value);
    static Variant Double(double value);
    static Variant Bool(bool value);
    static Variant Object(IDispatch* object);

    VARIANT* get() { return &m_v; }
    const VARIANT& operator*() const { return m_v; }
    const VARIANT* operator->() const { return &m_v; }
    std::u16string text() const; // the BSTR; fails the test for another type

private:
    VARIANT m_v;
};

struct CallResult {
    HRESULT hr = E_FAIL;
    Variant value;
    std::u16string description; // EXCEPINFO's, for DISP_E_EXCEPTION
    UINT argErr = ~0u;
};

std::string SheetLibraryPath();

// Registers the built library in the test's hives and creates an application.
ComPtr<IDispatch> CreateSheetApplication();

// What the desktop offers: a display or none, and the program a stand-in
// xdg-mime names for xlsx files (empty: none).
void UseDesktop(bool display, const std::string& xlsxProgram);

DISPID IdOf(IDispatch* object, std::u16string_view name);
// Arguments in the caller's order; a put passes its value last.
CallResult Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<Variant> args = {});
CallResult Call(IDispatch* object, std::u16string_view name, WORD flags,
                std::vector<Variant> args = {});

// Shorthands that fail the test when the call fails.
ComPtr<IDispatch> GetObject(IDispatch* object, DISPID id, std::vector<Variant> args = {});
ComPtr<IDispatch> GetObject(IDispatch* object, std::u16string_view name,
                            std::vector<Variant> args = {});
void Put(IDispatch* object, DISPID id, Variant value);
void Put(IDispatch* object, std::u16string_view name, Variant value);

// Every key ("Software\Classes\.xls") and value ("...|name" or "...|" for
// the default) of a root, values as text.
std::map<std::string, std::string> DumpRoot(HKEY root);

} // namespace zrv::test
