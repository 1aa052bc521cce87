#pragma once

#include "runtime/ZrvTypes.h"

#include <new>

namespace zrv::com {

// Runs the body of an exported function: no exception crosses the C surface.
template <typename Body> HRESULT Guarded(Body body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace zrv::com
