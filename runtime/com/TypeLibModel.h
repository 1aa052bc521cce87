#pragma once

// A type library as the runtime holds it after reading a library file: owned
// copies of the constant tables, texts in UTF-16.

#include "runtime/com/NameCompare.h"
#include "runtime/com/OleAuto.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zrv::com {

struct TlbParam {
    std::u16string name;
    VARTYPE vt = VT_EMPTY;
    USHORT flags = 0;

    bool isRetval() const { return (flags & PARAMFLAG_FRETVAL) != 0; }
    bool isOut() const { return (flags & (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)) != 0; }
};

struct TlbMember {
    std::u16string name;
    DISPID dispid = DISPID_UNKNOWN;
    INVOKEKIND kind = INVOKE_FUNC;
    std::u16string help;
    std::vector<TlbParam> params;
    unsigned slot = 0; // v-table index
};

// One described type: an interface or a component class.
struct TlbType {
    TYPEKIND kind = TKIND_INTERFACE;
    GUID guid{};
    std::u16string name;
    std::u16string help;
    WORD flags = 0;
    std::vector<TlbMember> members;       // interfaces
    std::optional<GUID> defaultInterface; // component classes
};

struct TlbLibrary {
    GUID libid{};
    WORD major = 0;
    WORD minor = 0;
    LCID lcid = 0;
    std::u16string name;
    std::u16string help;
    WORD flags = 0;
    std::vector<TlbType> types; // interfaces first, then component classes
};

// Reads the type information of a shared object: null when the file does not
// load, carries none, or its tables are malformed.
std::shared_ptr<const TlbLibrary> LoadTypeLibModel(const std::string& path);

} // namespace zrv::com
