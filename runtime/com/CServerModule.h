#pragma once

// The state of one in-process server library: the count of live objects and
// server locks behind DllCanUnloadNow, the class factory behind
// DllGetClassObject, and the library's own path. A library derives its module
// from CServerModule<Itself>. Header only: each library holds its own
// instance (hidden visibility).

#include "runtime/com/CClassFactory.h"
#include "runtime/com/ComPtr.h"

#include <atomic>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>
#include <string>

namespace zrv::com {

template <class Module> class CServerModule {
public:
    // Destroyed when the library unloads, releasing the factory it created.
    static Module& Instance()
    {
        static Module module;
        return module;
    }

    CServerModule(const CServerModule&) = delete;
    CServerModule& operator=(const CServerModule&) = delete;

    // Raised by every live object and server lock; changed atomically.
    void Lock() noexcept { m_lockCount.fetch_add(1, std::memory_order_acq_rel); }
    void Unlock() noexcept { m_lockCount.fetch_sub(1, std::memory_order_acq_rel); }
    LONG LockCount() const noexcept { return m_lockCount.load(std::memory_order_acquire); }

    // DllGetClassObject of a library serving the one class `classId`, whose
    // objects Class::CreateInstance(outer, iid, ppv) makes: its class
    // factory, created on first use.
    template <class Class>
    HRESULT GetClassObject(const CLSID& classId, const GUID* clsid, const GUID* iid, void** ppv)
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!clsid || !iid)
            return E_INVALIDARG;
        if (!(*clsid == classId))
            return CLASS_E_CLASSNOTAVAILABLE;
        ComPtr<IClassFactory> factory;
        const HRESULT hr = GetClassFactory<Class>(factory);
        return FAILED(hr) ? hr : factory->QueryInterface(*iid, ppv);
    }

    // DllCanUnloadNow.
    HRESULT CanUnloadNow() const noexcept { return LockCount() == 0 ? S_OK : S_FALSE; }

    // Full path of this library file, from the loaded object itself.
    static std::string FilePath()
    {
        Dl_info info{};
        if (dladdr(reinterpret_cast<const void*>(&CServerModule::FilePath), &info) == 0 ||
            !info.dli_fname)
            return {};
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
        return error ? std::string(info.dli_fname) : path.lexically_normal().string();
    }

protected:
    CServerModule() = default;
    ~CServerModule() = default;

private:
    template <class Class> HRESULT GetClassFactory(ComPtr<IClassFactory>& factory)
    {
        const std::lock_guard guard(m_factoryLock);
        if (!m_factory) {
            const HRESULT hr = CClassFactory<Module, Class>::Create(m_factory);
            if (FAILED(hr))
                return hr;
        }
        factory = m_factory;
        return S_OK;
    }

    std::atomic<LONG> m_lockCount{0};
    std::mutex m_factoryLock;
    ComPtr<IClassFactory> m_factory;
};

// Holds a lock on the module while it lives: a member of every object the
// library hands out, so that DllCanUnloadNow answers S_FALSE until it goes.
template <class Module> class CModuleLock final {
public:
    CModuleLock() noexcept { Module::Instance().Lock(); }
    ~CModuleLock() { Module::Instance().Unlock(); }
    CModuleLock(const CModuleLock&) = delete;
    CModuleLock& operator=(const CModuleLock&) = delete;
};

} // namespace zrv::com
