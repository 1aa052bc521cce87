#pragma once

// Failure results of the component's members, with the thread's error
// information set as callers of an automation object expect.

#include "runtime/com/OleAuto.h"

namespace zrv {

// Installs error information with `description`, the interface `iid` and the
// ProgID registered for Fortune as its source; returns `hr`.
HRESULT ReportError(HRESULT hr, const char16_t* description, const GUID& iid) noexcept;

// For use inside a catch block: a refused text or an index out of range gives
// E_INVALIDARG, a failed batch read or write E_FAIL, each with the engine's
// reason; any other exception DISP_E_EXCEPTION with "Unknown error".
HRESULT ReportCaughtException(const GUID& iid) noexcept;

// Runs an operation; an exception from it is reported as above.
template <typename Operation> HRESULT Guarded(const GUID& iid, Operation&& operation) noexcept
{
    try {
        operation();
        return S_OK;
    } catch (...) {
        return ReportCaughtException(iid);
    }
}

} // namespace zrv
