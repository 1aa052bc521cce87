#pragma once

// The type information a component library carries as constant data inside
// its shared object. The library defines one ZrvTypeLibrary under the
// exported name ZRV_TYPELIB_SYMBOL (use ZRV_TYPELIB_DEFINE); LoadTypeLib
// opens the file and reads that symbol. Texts are UTF-8.
//
// Example:
//   const ZrvTypeParam kItemGet[] = {{"vlIndex", VT_I4, PARAMFLAG_FIN},
//                                    {"rsFortune", VT_BSTR, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}};
//   const ZrvTypeMember kMembers[] = {
//       {"Item", 5, INVOKE_PROPERTYGET, "property Item", kItemGet, 2}, ...};
//   const ZrvTypeInterface kInterfaces[] = {{IID_IFoo, "IFoo", "IFoo Interface",
//       TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE, kMembers, 11}};
//   const ZrvTypeCoClass kClasses[] = {{CLSID_Foo, "Foo", "Foo Class", TYPEFLAG_FCANCREATE,
//   &IID_IFoo}}; ZRV_TYPELIB_DEFINE = {ZRV_TYPELIB_FORMAT, LIBID_FooLib, 1, 0, LANG_NEUTRAL,
//   "FOOLib",
//                         "foo 1.0 Type Library", 0, kInterfaces, 1, kClasses, 1};

#include "runtime/com/OleAuto.h"

// Version of the layout below; LoadTypeLib refuses any other.
constexpr uint32_t ZRV_TYPELIB_FORMAT = 1;

struct ZrvTypeParam {
    const char* name; // null for an unnamed parameter (a property put's value)
    VARTYPE vt;       // the type of the value: VT_BSTR, VT_I4, ... (out-parameters too)
    USHORT flags;     // PARAMFLAG_FIN, PARAMFLAG_FOUT, PARAMFLAG_FRETVAL
};

// Members are listed in v-table order: the n-th member (from 0) of an
// interface derived from IDispatch sits in slot 7 + n, of one derived from
// IUnknown in slot 3 + n. Every member returns HRESULT.
struct ZrvTypeMember {
    const char* name;
    DISPID dispid;
    INVOKEKIND kind;
    const char* helpString;
    const ZrvTypeParam* params;
    uint32_t paramCount;
};

struct ZrvTypeInterface {
    GUID iid;
    const char* name;
    const char* helpString;
    // TYPEFLAG_FDUAL / TYPEFLAG_FDISPATCHABLE: derived from IDispatch.
    // TYPEFLAG_FOLEAUTOMATION: registered with the automation proxy.
    WORD flags;
    const ZrvTypeMember* members;
    uint32_t memberCount;
};

struct ZrvTypeCoClass {
    GUID clsid;
    const char* name;
    const char* helpString;
    WORD flags;                   // TYPEFLAG_FCANCREATE
    const GUID* defaultInterface; // may be null
};

struct ZrvTypeLibrary {
    uint32_t format; // ZRV_TYPELIB_FORMAT
    GUID libid;
    WORD majorVersion;
    WORD minorVersion;
    LCID lcid;
    const char* name;
    const char* helpString;
    WORD libFlags;
    const ZrvTypeInterface* interfaces;
    uint32_t interfaceCount;
    const ZrvTypeCoClass* coclasses;
    uint32_t coclassCount;
};

#define ZRV_TYPELIB_SYMBOL "ZrvTypeLibrary1"

// Defines the library's exported type information: ZRV_TYPELIB_DEFINE = {...};
#define ZRV_TYPELIB_DEFINE                                                                         \
    extern "C" __attribute__((visibility("default"))) const ZrvTypeLibrary ZrvTypeLibrary1
