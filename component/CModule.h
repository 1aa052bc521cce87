#pragma once

// State of the loaded library: the count of live objects and server locks,
// the one class factory, the library's own path and the type information
// that answers late-bound calls.

#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"

#include <atomic>
#include <mutex>
#include <string>

namespace zrv {

class CModule final {
public:
    static CModule& Instance();

    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;

    // Raised by every live object and server lock; changed atomically.
    void Lock() noexcept;
    void Unlock() noexcept;
    LONG LockCount() const noexcept;

    // The class factory of Fortune, created on first use under the module lock.
    HRESULT GetClassFactory(ComPtr<IClassFactory>& factory);

    // Full path of this library file, from the loaded object itself.
    static std::string FilePath();

    // IFortune's type information: the registered type library (1.0), or
    // the one this file carries when none is registered. Loaded once.
    HRESULT GetFortuneTypeInfo(ComPtr<ITypeInfo>& info);

private:
    CModule() = default;
    ~CModule() = default;

    std::atomic<LONG> m_lockCount{0};
    std::mutex m_lock;
    ComPtr<IClassFactory> m_factory;
    ComPtr<ITypeInfo> m_typeInfo;
};

} // namespace zrv
