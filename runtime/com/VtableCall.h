#pragma once

#include "runtime/ZrvTypes.h"

#include <cstddef>
#include <cstdint>

namespace zrv::com {

// Most arguments CallSlot passes.
constexpr size_t kMaxSlotArgs = 6;

// Calls the v-table member at slot of the interface at instance as
// HRESULT member(args...). Every argument travels as one machine word: this
// covers the integers (sign-extended), booleans and pointers the automation
// types of this system use. With the Itanium C++ ABI a virtual member is
// called like a free function with the object as its first argument, and an
// integer narrower than a word is read from the low bits of its register, so
// one call shape per argument count serves every such signature. Floating
// point arguments would travel in other registers and are not supported.
HRESULT CallSlot(void* instance, unsigned slot, const intptr_t* args, size_t count);

} // namespace zrv::com
