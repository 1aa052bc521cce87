#pragma once

// The registration entries of the Fortune class under HKEY_CLASSES_ROOT and
// the registration of the type library this file carries.

#include "runtime/ZrvTypes.h"

#include <string>

namespace zrv {

class CRegistrar final {
public:
    // modulePath: full path of the library file, the InprocServer32 value.
    explicit CRegistrar(std::string modulePath);

    // The class, then the type library. Stops at the first failure.
    HRESULT Register() const;
    // Both; failures are ignored.
    void Unregister() const;

    // Writes the ProgID keys and the class key; the class key is replaced
    // whole. Stops at the first failure.
    HRESULT RegisterClass() const;
    // Removes both ProgID keys and the class key with everything below it,
    // never the shared CLSID key. Failures are ignored.
    void UnregisterClass() const;

    // Registers the type library of the library file (or, when that does not
    // load, of the same path with the extension ".tlb"), with the file's
    // folder as help folder. An exception other than std::bad_alloc gives its
    // own result and message (see CaughtFailure).
    HRESULT RegisterTypeLibrary() const;
    void UnregisterTypeLibrary() const;

private:
    std::string m_modulePath;
};

} // namespace zrv
