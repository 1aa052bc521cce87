#pragma once

// State of the loaded library: the count of live objects and server locks,
// the one class factory and the library's own path.

#include "runtime/com/ComPtr.h"

#include <atomic>
#include <mutex>
#include <string>

namespace zrv::sheet {

class CSheetModule final {
public:
    static CSheetModule& Instance();

    CSheetModule(const CSheetModule&) = delete;
    CSheetModule& operator=(const CSheetModule&) = delete;

    void Lock() noexcept;
    void Unlock() noexcept;
    LONG LockCount() const noexcept;

    // The class factory of the Application, created on first use.
    HRESULT GetClassFactory(ComPtr<IClassFactory>& factory);

    // Full path of this library file.
    static std::string FilePath();

private:
    CSheetModule() = default;
    ~CSheetModule() = default;

    std::atomic<LONG> m_lockCount{0};
    std::mutex m_lock;
    ComPtr<IClassFactory> m_factory;
};

} // namespace zrv::sheet
