#pragma once

// A component library loaded the way an outside program loads it: dlopen,
// entry points through dlsym, objects through the class factory.

#include "component/IFortune.h"
#include "runtime/com/ComPtr.h"

#include <string>

namespace zrv::test {

class CComponentLibrary final {
public:
    explicit CComponentLibrary(const std::string& path);
    ~CComponentLibrary();
    CComponentLibrary(const CComponentLibrary&) = delete;
    CComponentLibrary& operator=(const CComponentLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    const std::string& LoadError() const { return m_loadError; }
    void* Symbol(const char* name) const;

    HRESULT GetClassObject(const CLSID& clsid, const IID& iid, void** ppv) const;
    HRESULT CanUnloadNow() const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;

    // A new Fortune object through the class factory; empty on failure.
    ComPtr<IFortune> CreateFortune() const;

private:
    void* m_handle = nullptr;
    std::string m_loadError;
};

// Paths of the built libraries.
std::string FortuneLibraryPath();
// The same component built with the engine's fault seam exported as
// ZrvFortFailOperation(const char* operation).
std::string FaultyFortuneLibraryPath();
// The built component, loaded once for the whole test program.
const CComponentLibrary& FortuneLibrary();

} // namespace zrv::test
