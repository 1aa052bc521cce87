// Loading type libraries from library files and registering them under
// HKEY_CLASSES_ROOT\TypeLib and \Interface.

#include "runtime/com/AnsiText.h"
#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"
#include "runtime/com/CRegKey.h"
#include "runtime/com/CTypeLib.h"
#include "runtime/com/Guard.h"
#include "runtime/com/GuidText.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>

namespace {

using zrv::com::CRegKey;
using zrv::com::Guarded;
using zrv::com::GuidToString;

// The platform subkey under <version>\<lcid>.
constexpr const char* kPlatformKey = "linux64";
constexpr LCID kPrimaryLanguageMask = 0x3FF;

std::string Hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

std::string VersionText(WORD major, WORD minor)
{
    return Hex(major) + "." + Hex(minor);
}

std::string LibraryKey(const GUID& libid)
{
    return "TypeLib\\" + GuidToString(libid);
}

std::string VersionKey(const GUID& libid, WORD major, WORD minor)
{
    return LibraryKey(libid) + "\\" + VersionText(major, minor);
}

bool Exists(const std::string& path)
{
    CRegKey key;
    return key.open(HKEY_CLASSES_ROOT, path) == ERROR_SUCCESS;
}

bool HasSubKeys(const std::string& path)
{
    CRegKey key;
    return key.open(HKEY_CLASSES_ROOT, path) == ERROR_SUCCESS &&
           !zrv::com::RegSubKeyNames(key.get()).empty();
}

// The registered version of libid to use: exactly major.minor, else the
// highest minor of that major above the one asked for.
std::optional<std::string> FindVersionKey(const GUID& libid, WORD major, WORD minor)
{
    const std::string exact = VersionKey(libid, major, minor);
    if (Exists(exact))
        return exact;
    CRegKey lib;
    if (lib.open(HKEY_CLASSES_ROOT, LibraryKey(libid)) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::string> best;
    unsigned bestMinor = 0;
    for (const std::string& name : zrv::com::RegSubKeyNames(lib.get())) {
        unsigned foundMajor = 0;
        unsigned foundMinor = 0;
        if (std::sscanf(name.c_str(), "%x.%x", &foundMajor, &foundMinor) == 2 &&
            foundMajor == major && foundMinor > minor && (!best || foundMinor > bestMinor)) {
            best = LibraryKey(libid) + "\\" + name;
            bestMinor = foundMinor;
        }
    }
    return best;
}

std::optional<std::string> RegisteredPath(const GUID& libid, WORD major, WORD minor, LCID lcid)
{
    const auto version = FindVersionKey(libid, major, minor);
    if (!version)
        return std::nullopt;
    for (const LCID candidate : {lcid, lcid & kPrimaryLanguageMask, LCID{0}}) {
        const auto path = zrv::com::ReadRegString(
            HKEY_CLASSES_ROOT, *version + "\\" + Hex(candidate) + "\\" + kPlatformKey);
        if (path && !path->empty())
            return path;
    }
    return std::nullopt;
}

struct TypeEntry {
    GUID iid;
    std::string name;
};

// The automation-compatible interfaces of lib, which get Interface entries.
std::vector<TypeEntry> AutomationInterfaces(ITypeLib& lib)
{
    std::vector<TypeEntry> entries;
    for (UINT i = 0; i < lib.GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        TYPEATTR* attr = nullptr;
        if (FAILED(lib.GetTypeInfo(i, info.put())) || FAILED(info->GetTypeAttr(&attr)))
            continue;
        const bool automation =
            attr->typekind == TKIND_DISPATCH ||
            (attr->typekind == TKIND_INTERFACE && (attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION));
        const GUID iid = attr->guid;
        info->ReleaseTypeAttr(attr);
        BString name;
        if (automation &&
            SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr)))
            entries.push_back({iid, zrv::com::ToAnsi(name.view())});
    }
    return entries;
}

LONG WriteInterface(const TypeEntry& entry, const std::string& libid, const std::string& version)
{
    const std::string key = "Interface\\" + GuidToString(entry.iid);
    const std::string proxy = GuidToString(CLSID_PSOAInterface);
    LONG rc = zrv::com::WriteRegString(HKEY_CLASSES_ROOT, key, nullptr, entry.name);
    if (rc == ERROR_SUCCESS)
        rc = zrv::com::WriteRegString(HKEY_CLASSES_ROOT, key + "\\ProxyStubClsid", nullptr, proxy);
    if (rc == ERROR_SUCCESS)
        rc =
            zrv::com::WriteRegString(HKEY_CLASSES_ROOT, key + "\\ProxyStubClsid32", nullptr, proxy);
    if (rc == ERROR_SUCCESS)
        rc = zrv::com::WriteRegString(HKEY_CLASSES_ROOT, key + "\\TypeLib", nullptr, libid);
    if (rc == ERROR_SUCCESS)
        rc = zrv::com::WriteRegString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "Version", version);
    return rc;
}

HRESULT Register(ITypeLib& lib, const std::string& path, const std::string& helpDir)
{
    TLIBATTR* attr = nullptr;
    HRESULT hr = lib.GetLibAttr(&attr);
    if (FAILED(hr))
        return hr;
    const TLIBATTR a = *attr;
    lib.ReleaseTLibAttr(attr);
    BString name;
    BString doc;
    lib.GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr);
    const std::string description = zrv::com::ToAnsi(doc.length() ? doc.view() : name.view());

    const std::string version = VersionKey(a.guid, a.wMajorVerNum, a.wMinorVerNum);
    const auto flags = static_cast<unsigned>(a.wLibFlags & ~LIBFLAG_FHASDISKIMAGE);
    LONG rc = zrv::com::WriteRegString(HKEY_CLASSES_ROOT, version, nullptr, description);
    if (rc == ERROR_SUCCESS)
        rc = zrv::com::WriteRegString(
            HKEY_CLASSES_ROOT, version + "\\" + Hex(a.lcid) + "\\" + kPlatformKey, nullptr, path);
    if (rc == ERROR_SUCCESS)
        rc = zrv::com::WriteRegString(HKEY_CLASSES_ROOT, version + "\\FLAGS", nullptr,
                                      std::to_string(flags));
    if (rc == ERROR_SUCCESS)
        rc = zrv::com::WriteRegString(HKEY_CLASSES_ROOT, version + "\\HELPDIR", nullptr, helpDir);
    for (const TypeEntry& entry : AutomationInterfaces(lib)) {
        if (rc == ERROR_SUCCESS)
            rc = WriteInterface(entry, GuidToString(a.guid),
                                VersionText(a.wMajorVerNum, a.wMinorVerNum));
    }
    return rc == ERROR_SUCCESS ? S_OK : TYPE_E_REGISTRYACCESS;
}

// Deletes root\path and everything below it; a missing key is no failure.
void DeleteTree(const std::string& path)
{
    const size_t slash = path.rfind('\\');
    CRegKey parent;
    if (parent.open(HKEY_CLASSES_ROOT, path.substr(0, slash), KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return;
    const std::string leaf = path.substr(slash + 1);
    RegDeleteTreeA(parent.get(), leaf.c_str());
    RegDeleteKeyA(parent.get(), leaf.c_str());
}

// Removes the Interface entries that name libid at that version.
void UnregisterInterfaces(const GUID& libid, const std::string& version)
{
    CRegKey interfaces;
    if (interfaces.open(HKEY_CLASSES_ROOT, "Interface") != ERROR_SUCCESS)
        return;
    for (const std::string& iid : zrv::com::RegSubKeyNames(interfaces.get())) {
        const std::string key = "Interface\\" + iid + "\\TypeLib";
        const auto lib = zrv::com::ReadRegString(HKEY_CLASSES_ROOT, key);
        const auto libVersion = zrv::com::ReadRegString(HKEY_CLASSES_ROOT, key, "Version");
        const auto parsed = lib ? zrv::com::ParseGuid(*lib) : std::nullopt;
        if (parsed && *parsed == libid && libVersion == version)
            DeleteTree("Interface\\" + iid);
    }
}

HRESULT Unregister(const GUID& libid, WORD major, WORD minor, LCID lcid)
{
    const std::string version = VersionKey(libid, major, minor);
    const std::string locale = version + "\\" + Hex(lcid);
    if (!Exists(locale + "\\" + kPlatformKey))
        return TYPE_E_REGISTRYACCESS;
    UnregisterInterfaces(libid, VersionText(major, minor));
    DeleteTree(locale + "\\" + kPlatformKey);
    if (!HasSubKeys(locale))
        DeleteTree(locale);
    // The version goes when no other locale is registered under it.
    CRegKey versionKey;
    bool otherLocales = false;
    if (versionKey.open(HKEY_CLASSES_ROOT, version) == ERROR_SUCCESS) {
        for (const std::string& name : zrv::com::RegSubKeyNames(versionKey.get()))
            otherLocales |= !zrv::com::SameName(zrv::com::FromAnsi(name), u"FLAGS") &&
                            !zrv::com::SameName(zrv::com::FromAnsi(name), u"HELPDIR");
    }
    versionKey.close();
    if (!otherLocales)
        DeleteTree(version);
    if (!HasSubKeys(LibraryKey(libid)))
        DeleteTree(LibraryKey(libid));
    return S_OK;
}

} // namespace

extern "C" {

ZRVRT_API HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** lib)
{
    if (!file || !lib)
        return E_INVALIDARG;
    *lib = nullptr;
    return Guarded([&] {
        auto model = zrv::com::LoadTypeLibModel(zrv::com::ToAnsi(file));
        if (!model)
            return TYPE_E_CANTLOADLIBRARY;
        *lib = new zrv::com::CTypeLib(std::move(model));
        return S_OK;
    });
}

ZRVRT_API HRESULT QueryPathOfRegTypeLib(const GUID& libid, USHORT major, USHORT minor, LCID lcid,
                                        BSTR* path)
{
    if (!path)
        return E_INVALIDARG;
    *path = nullptr;
    return Guarded([&] {
        const auto found = RegisteredPath(libid, major, minor, lcid);
        if (!found)
            return TYPE_E_LIBNOTREGISTERED;
        const std::u16string wide = zrv::com::FromAnsi(*found);
        *path = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        return *path ? S_OK : E_OUTOFMEMORY;
    });
}

ZRVRT_API HRESULT LoadRegTypeLib(const GUID& libid, WORD major, WORD minor, LCID lcid,
                                 ITypeLib** lib)
{
    if (!lib)
        return E_INVALIDARG;
    *lib = nullptr;
    BString path;
    const HRESULT hr = QueryPathOfRegTypeLib(libid, major, minor, lcid, path.put());
    return FAILED(hr) ? hr : LoadTypeLib(path.get(), lib);
}

ZRVRT_API HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir)
{
    if (!lib || !fullPath)
        return E_INVALIDARG;
    return Guarded([&] {
        return Register(*lib, zrv::com::ToAnsi(fullPath), helpDir ? zrv::com::ToAnsi(helpDir) : "");
    });
}

ZRVRT_API HRESULT UnRegisterTypeLib(const GUID& libid, WORD major, WORD minor, LCID lcid,
                                    SYSKIND syskind)
{
    if (syskind != SYS_NATIVE)
        return E_INVALIDARG;
    return Guarded([&] { return Unregister(libid, major, minor, lcid); });
}

} // extern "C"
