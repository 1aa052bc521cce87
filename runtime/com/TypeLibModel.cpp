#include "runtime/com/TypeLibModel.h"

#include "runtime/com/Transcode.h"
#include "runtime/com/TypeLibData.h"

#include <dlfcn.h>

namespace zrv::com {

namespace {

// Slots taken by the base interface's members.
constexpr unsigned kUnknownSlots = 3;
constexpr unsigned kDispatchSlots = 7;
// Sanity limit on table sizes read from a file.
constexpr uint32_t kMaxEntries = 4096;

// A dlopen handle, closed when it goes.
class LibraryHandle final {
public:
    explicit LibraryHandle(const std::string& path)
        : m_handle(dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL))
    {}
    ~LibraryHandle()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;
    void* get() const { return m_handle; }

private:
    void* m_handle;
};

std::u16string Text(const char* utf8)
{
    return utf8 ? FromUtf8(utf8) : std::u16string();
}

std::optional<TlbMember> ReadMember(const ZrvTypeMember& data, unsigned slot)
{
    if (!data.name || data.paramCount > kMaxEntries || (data.paramCount && !data.params))
        return std::nullopt;
    TlbMember member;
    member.name = Text(data.name);
    member.dispid = data.dispid;
    member.kind = data.kind;
    member.help = Text(data.helpString);
    member.slot = slot;
    for (uint32_t i = 0; i < data.paramCount; ++i)
        member.params.push_back(
            {Text(data.params[i].name), data.params[i].vt, data.params[i].flags});
    return member;
}

std::optional<TlbType> ReadInterface(const ZrvTypeInterface& data)
{
    if (!data.name || data.memberCount > kMaxEntries || (data.memberCount && !data.members))
        return std::nullopt;
    const bool dispatch = (data.flags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE)) != 0;
    TlbType type;
    type.kind = (data.flags & TYPEFLAG_FDUAL) ? TKIND_DISPATCH : TKIND_INTERFACE;
    type.guid = data.iid;
    type.name = Text(data.name);
    type.help = Text(data.helpString);
    type.flags = data.flags;
    const unsigned base = dispatch ? kDispatchSlots : kUnknownSlots;
    for (uint32_t i = 0; i < data.memberCount; ++i) {
        auto member = ReadMember(data.members[i], base + i);
        if (!member)
            return std::nullopt;
        type.members.push_back(std::move(*member));
    }
    return type;
}

std::optional<TlbType> ReadCoClass(const ZrvTypeCoClass& data)
{
    if (!data.name)
        return std::nullopt;
    TlbType type;
    type.kind = TKIND_COCLASS;
    type.guid = data.clsid;
    type.name = Text(data.name);
    type.help = Text(data.helpString);
    type.flags = data.flags;
    if (data.defaultInterface)
        type.defaultInterface = *data.defaultInterface;
    return type;
}

std::shared_ptr<const TlbLibrary> ReadLibrary(const ZrvTypeLibrary& data)
{
    if (data.format != ZRV_TYPELIB_FORMAT || !data.name || data.interfaceCount > kMaxEntries ||
        data.coclassCount > kMaxEntries || (data.interfaceCount && !data.interfaces) ||
        (data.coclassCount && !data.coclasses))
        return nullptr;
    auto lib = std::make_shared<TlbLibrary>();
    lib->libid = data.libid;
    lib->major = data.majorVersion;
    lib->minor = data.minorVersion;
    lib->lcid = data.lcid;
    lib->name = Text(data.name);
    lib->help = Text(data.helpString);
    lib->flags = data.libFlags;
    for (uint32_t i = 0; i < data.interfaceCount; ++i) {
        auto type = ReadInterface(data.interfaces[i]);
        if (!type)
            return nullptr;
        lib->types.push_back(std::move(*type));
    }
    for (uint32_t i = 0; i < data.coclassCount; ++i) {
        auto type = ReadCoClass(data.coclasses[i]);
        if (!type)
            return nullptr;
        lib->types.push_back(std::move(*type));
    }
    return lib;
}

} // namespace

std::shared_ptr<const TlbLibrary> LoadTypeLibModel(const std::string& path)
{
    if (path.empty())
        return nullptr;
    const LibraryHandle handle(path);
    if (!handle.get())
        return nullptr;
    const auto* data = static_cast<const ZrvTypeLibrary*>(dlsym(handle.get(), ZRV_TYPELIB_SYMBOL));
    // The tables are copied before the handle closes.
    return data ? ReadLibrary(*data) : nullptr;
}

} // namespace zrv::com
