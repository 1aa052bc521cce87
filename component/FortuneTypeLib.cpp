// The type information this library carries: ZRVFORTLib with the dual
// interface IFortune, the creatable class Fortune, and the v-table-only
// interfaces IFortuneBatch and IFortuneSnapshot (arrays are passed as
// pointers, which late binding cannot carry). LoadTypeLib reads it
// from the library file; late-bound calls are answered from it.

#include "component/IFortune.h"
#include "runtime/com/TypeLibData.h"

namespace {

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kRetVal = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;

const ZrvTypeParam kFile[] = {{"sFile", VT_BSTR, kIn}};
const ZrvTypeParam kCount[] = {{"plCount", VT_I4, kRetVal}};
const ZrvTypeParam kFortune[] = {{"vsFortune", VT_BSTR, kIn}};
const ZrvTypeParam kItemGet[] = {{"vlIndex", VT_I4, kIn}, {"rsFortune", VT_BSTR, kRetVal}};
const ZrvTypeParam kItemPut[] = {{"vlIndex", VT_I4, kIn}, {nullptr, VT_BSTR, kIn}};
const ZrvTypeParam kIndex[] = {{"vlIndex", VT_I4, kIn}};
const ZrvTypeParam kName[] = {{"psFile", VT_BSTR, kRetVal}};
const ZrvTypeParam kHeaderGet[] = {{"pVal", VT_BSTR, kRetVal}};
const ZrvTypeParam kHeaderPut[] = {{nullptr, VT_BSTR, kIn}};

// In v-table order; dispatch id 3 is not assigned.
const ZrvTypeMember kMembers[] = {
    {"Load", 1, INVOKE_FUNC, "method Load", kFile, 1},
    {"Count", 2, INVOKE_FUNC, "method Count", kCount, 1},
    {"Add", 4, INVOKE_FUNC, "method Add", kFortune, 1},
    {"Item", 5, INVOKE_PROPERTYGET, "property Item", kItemGet, 2},
    {"Item", 5, INVOKE_PROPERTYPUT, "property Item", kItemPut, 2},
    {"Delete", 6, INVOKE_FUNC, "method Delete", kIndex, 1},
    {"Create", 7, INVOKE_FUNC, "method New", kFile, 1},
    {"Rename", 8, INVOKE_FUNC, "method Rename", kFile, 1},
    {"Name", 9, INVOKE_FUNC, "method Name", kName, 1},
    {"Header", 10, INVOKE_PROPERTYGET, "property Header", kHeaderGet, 1},
    {"Header", 10, INVOKE_PROPERTYPUT, "property Header", kHeaderPut, 1},
};

const ZrvTypeParam kSnapshot[] = {{"ppSnapshot", VT_UNKNOWN, kRetVal}};
const ZrvTypeParam kAddMany[] = {
    {"lCount", VT_I4, kIn}, {"psFortunes", VT_BYREF | VT_BSTR, kIn}, {"lFlags", VT_I4, kIn}};
const ZrvTypeParam kDeleteMany[] = {{"lCount", VT_I4, kIn}, {"plIndexes", VT_BYREF | VT_I4, kIn}};
const ZrvTypeParam kInsertMany[] = {{"lCount", VT_I4, kIn},
                                    {"plIndexes", VT_BYREF | VT_I4, kIn},
                                    {"psFortunes", VT_BYREF | VT_BSTR, kIn},
                                    {"lFlags", VT_I4, kIn}};

const ZrvTypeMember kBatchMembers[] = {
    {"Snapshot", 1, INVOKE_FUNC, "method Snapshot", kSnapshot, 1},
    {"AddMany", 2, INVOKE_FUNC, "method AddMany", kAddMany, 3},
    {"DeleteMany", 3, INVOKE_FUNC, "method DeleteMany", kDeleteMany, 2},
    {"InsertMany", 4, INVOKE_FUNC, "method InsertMany", kInsertMany, 4},
};

const ZrvTypeMember kSnapshotMembers[] = {
    {"Count", 1, INVOKE_FUNC, "method Count", kCount, 1},
    {"Item", 2, INVOKE_PROPERTYGET, "property Item", kItemGet, 2},
    {"Header", 3, INVOKE_PROPERTYGET, "property Header", kHeaderGet, 1},
};

template <typename T, size_t N> constexpr uint32_t CountOf(const T (&)[N])
{
    return N;
}

const ZrvTypeInterface kInterfaces[] = {
    {IID_IFortune, "IFortune", "IFortune Interface",
     TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE, kMembers,
     CountOf(kMembers)},
    {IID_IFortuneBatch, "IFortuneBatch", "IFortuneBatch Interface", 0, kBatchMembers,
     CountOf(kBatchMembers)},
    {IID_IFortuneSnapshot, "IFortuneSnapshot", "IFortuneSnapshot Interface", 0, kSnapshotMembers,
     CountOf(kSnapshotMembers)},
};

const ZrvTypeCoClass kClasses[] = {
    {CLSID_Fortune, "Fortune", "Fortune Class", TYPEFLAG_FCANCREATE, &IID_IFortune},
};

} // namespace

ZRV_TYPELIB_DEFINE = {
    .format = ZRV_TYPELIB_FORMAT,
    .libid = LIBID_ZRVFORTLib,
    .majorVersion = 1,
    .minorVersion = 0,
    .lcid = LANG_NEUTRAL,
    .name = "ZRVFORTLib",
    .helpString = "zrvfort 1.0 Type Library",
    .libFlags = 0,
    .interfaces = kInterfaces,
    .interfaceCount = CountOf(kInterfaces),
    .coclasses = kClasses,
    .coclassCount = 1,
};
