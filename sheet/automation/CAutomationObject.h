#pragma once

// Base of every object of the spreadsheet application: reference count
// (CUnknown), a lock on the module while it lives, IDispatch over a table of
// members, and error reporting. Names resolve
// without regard to case; ids and names reach the same member. A member that
// fails fills EXCEPINFO and the thread's error information.

#include "runtime/com/ComPtr.h"
#include "runtime/com/CUnknown.h"
#include "runtime/com/NameCompare.h"
#include "runtime/com/OleAuto.h"
#include "sheet/automation/CDispatchCall.h"
#include "sheet/process/CSheetModule.h"

#include <span>
#include <string_view>
#include <utility>

namespace zrv::sheet {

class CAutomationObject
    : public com::CUnknown<CAutomationObject, com::Face<IDispatch, IID_IDispatch>,
                           com::Face<ISupportErrorInfo, IID_ISupportErrorInfo>> {
public:
    CAutomationObject(const CAutomationObject&) = delete;
    CAutomationObject& operator=(const CAutomationObject&) = delete;

    HRESULT GetTypeInfoCount(UINT* count) final;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) final;
    HRESULT GetIDsOfNames(const GUID& iid, OLECHAR** names, UINT count, LCID lcid,
                          DISPID* ids) final;
    HRESULT Invoke(DISPID id, const GUID& iid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) final;

    HRESULT InterfaceSupportsErrorInfo(const GUID& iid) final;

protected:
    CAutomationObject() = default;
    virtual ~CAutomationObject() = default;

    // The member of that name (any case), or false.
    virtual bool FindMember(std::u16string_view name, DISPID& id) const = 0;
    // Runs member id; throws DispatchError (DISP_E_MEMBERNOTFOUND for an id
    // or a kind of call the object does not have).
    virtual void CallMember(DISPID id, CDispatchCall& call) = 0;

private:
    friend CUnknown;

    com::CModuleLock<CSheetModule> m_moduleLock;
};

// One member: its name and id, what a method call or property get runs and
// what a property put runs (null: the member cannot be put). The table states
// how many positional arguments a call or get takes; a put takes none besides
// its value. The object checks both before the handler runs.
template <class T> struct DispatchMember {
    using Handler = void (T::*)(CDispatchCall&);

    std::u16string_view name;
    DISPID id;
    Handler get;
    Handler put;
    UINT minArgs;
    UINT maxArgs;

    // A property without arguments, read and written.
    static constexpr DispatchMember Property(std::u16string_view name, DISPID id, Handler get,
                                             Handler put)
    {
        return {name, id, get, put, 0, 0};
    }
    // A property without arguments that can only be read.
    static constexpr DispatchMember ReadOnly(std::u16string_view name, DISPID id, Handler get)
    {
        return {name, id, get, nullptr, 0, 0};
    }
    // A method (or a property with arguments) taking exactly `args` arguments.
    static constexpr DispatchMember Method(std::u16string_view name, DISPID id, Handler call,
                                           UINT args = 0)
    {
        return {name, id, call, nullptr, args, args};
    }
};
[[noreturn]] void ThrowMemberNotFound();

// An object whose members are T::kMembers.
template <class T> class CDispatchObject : public CAutomationObject {
public:
    using Member = DispatchMember<T>;

protected:
    bool FindMember(std::u16string_view name, DISPID& id) const final
    {
        for (const DispatchMember<T>& member : T::kMembers) {
            if (com::SameName(member.name, name)) {
                id = member.id;
                return true;
            }
        }
        return false;
    }

    void CallMember(DISPID id, CDispatchCall& call) final
    {
        for (const DispatchMember<T>& member : T::kMembers) {
            if (member.id != id)
                continue;
            const auto handler = call.IsPut() ? member.put : member.get;
            if (!handler)
                ThrowMemberNotFound();
            if (call.IsPut())
                call.ExpectArgs(0, 0);
            else
                call.ExpectArgs(member.minArgs, member.maxArgs);
            (static_cast<T*>(this)->*handler)(call);
            return;
        }
        ThrowMemberNotFound();
    }
};

} // namespace zrv::sheet

namespace zrv::sheet {

// A new object of class T with one reference, owned by the result.
template <class T, class... Args> ComPtr<IDispatch> MakeDispatch(Args&&... args)
{
    return ComPtr<IDispatch>::attach(new T(std::forward<Args>(args)...));
}

} // namespace zrv::sheet
