#pragma once

// IUnknown of the runtime's objects, written once. An object derives from
// CUnknown<Itself, Face<Interface, IIDs...>...>: QueryInterface hands out each
// Interface for its IIDs and the first one for IID_IUnknown. Every object
// starts with one reference, owned by whoever created it (ComPtr::attach), and
// deletes itself at the last Release; the count is atomic, so an object may travel
// between threads. The object's destructor stays private, with
// `friend CUnknown;`, so only the last Release deletes it. Nothing is added to
// the interfaces' v-tables.

#include "runtime/com/ObjBase.h"

#include <atomic>

namespace zrv::com {

template <typename Interface, IID... Iids> struct Face : Interface {
    using Handed = Interface;
    static bool Answers(const IID& iid) { return ((iid == Iids) || ...); }

protected:
    ~Face() = default;
};

template <typename Derived, typename First, typename... Others>
class CUnknown : public First, public Others... {
public:
    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        void* found = iid == IID_IUnknown || First::Answers(iid) ? Handed<First>() : nullptr;
        ((found = found ? found : Others::Answers(iid) ? Handed<Others>() : nullptr), ...);
        *ppv = found;
        if (!found)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return m_refs.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override
    {
        const ULONG refs = m_refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (refs == 0)
            delete static_cast<Derived*>(this);
        return refs;
    }

protected:
    CUnknown() = default;
    ~CUnknown() = default;

private:
    template <typename F> void* Handed()
    {
        return static_cast<typename F::Handed*>(static_cast<F*>(this));
    }

    std::atomic<ULONG> m_refs{1};
};

} // namespace zrv::com
