#include "runtime/com/VtableCall.h"

namespace zrv::com {

namespace {

using W = intptr_t;
using Shape0 = HRESULT (*)(void*);
using Shape1 = HRESULT (*)(void*, W);
using Shape2 = HRESULT (*)(void*, W, W);
using Shape3 = HRESULT (*)(void*, W, W, W);
using Shape4 = HRESULT (*)(void*, W, W, W, W);
using Shape5 = HRESULT (*)(void*, W, W, W, W, W);
using Shape6 = HRESULT (*)(void*, W, W, W, W, W, W);

} // namespace

HRESULT CallSlot(void* instance, unsigned slot, const intptr_t* a, size_t count)
{
    void* const* vtable = *static_cast<void* const* const*>(instance);
    void* const fn = vtable[slot];
    switch (count) {
    case 0:
        return reinterpret_cast<Shape0>(fn)(instance);
    case 1:
        return reinterpret_cast<Shape1>(fn)(instance, a[0]);
    case 2:
        return reinterpret_cast<Shape2>(fn)(instance, a[0], a[1]);
    case 3:
        return reinterpret_cast<Shape3>(fn)(instance, a[0], a[1], a[2]);
    case 4:
        return reinterpret_cast<Shape4>(fn)(instance, a[0], a[1], a[2], a[3]);
    case 5:
        return reinterpret_cast<Shape5>(fn)(instance, a[0], a[1], a[2], a[3], a[4]);
    case 6:
        return reinterpret_cast<Shape6>(fn)(instance, a[0], a[1], a[2], a[3], a[4], a[5]);
    default:
        return DISP_E_BADPARAMCOUNT;
    }
}

} // namespace zrv::com
