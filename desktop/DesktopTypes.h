#pragma once

// Types of the window-system calls the editor makes: a window handle is a
// 32-bit number that can be handed to another process, message parameters
// and results are as wide as a pointer.

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
