#pragma once

// Types of the window-system calls the editor makes, with the sizes of the
// platform it was written for.

#include "runtime/ZrvTypes.h"

#include <cstdint>

namespace zrv::desktop {

using HWND = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HINSTANCE = intptr_t;
using HANDLE = void*;

} // namespace zrv::desktop
