// Exports the engine's fault seam from a test build of the component:
// ZrvFortFailOperation("Count") makes every later Count of the engine throw,
// as an exhausted memory would; null or "" ends that.

#include "engine/CArchive.h"

#include <new>
#include <string>

namespace {

std::string g_failing;

void FailNamedOperation(const char* operation)
{
    if (g_failing == operation)
        throw std::bad_alloc();
}

} // namespace

extern "C" __attribute__((visibility("default"))) void ZrvFortFailOperation(const char* operation)
{
    g_failing = operation ? operation : "";
    zrv::CArchive::SetFaultHook(g_failing.empty() ? nullptr : &FailNamedOperation);
}
