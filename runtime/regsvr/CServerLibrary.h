#pragma once

// A component library loaded for its registration entry points; unloaded
// when this goes.

#include "runtime/ZrvTypes.h"

#include <string>

class CServerLibrary final {
public:
    // An existing file is loaded by its absolute path, anything else by name.
    explicit CServerLibrary(const std::string& file);
    ~CServerLibrary();
    CServerLibrary(const CServerLibrary&) = delete;
    CServerLibrary& operator=(const CServerLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    // Why the load failed, as the loader put it.
    const std::string& LoadError() const { return m_loadError; }

    // Calls the named entry point, HRESULT (void); 0x8007007F
    // (ERROR_PROC_NOT_FOUND) when the library lacks it.
    HRESULT Call(const char* entryPoint) const;

private:
    void* m_handle = nullptr;
    std::string m_loadError;
};
