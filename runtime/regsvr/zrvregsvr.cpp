// zrvregsvr [-u] LIBRARY
// Registers a component library (or with -u unregisters it) through its
// DllRegisterServer / DllUnregisterServer entry point. Exit code 0 on
// success; otherwise 1 and one line on standard error with the result code.

#include "runtime/regsvr/CServerLibrary.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x80070057); // E_INVALIDARG
constexpr HRESULT kModuleNotFound = static_cast<HRESULT>(0x8007007E);  // ERROR_MOD_NOT_FOUND

int Fail(const std::string& message, HRESULT hr)
{
    std::fprintf(stderr, "zrvregsvr: %s (0x%08X)\n", message.c_str(), static_cast<unsigned>(hr));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool unregister = !args.empty() && args.front() == "-u";
    if (unregister)
        args.erase(args.begin());
    if (args.size() != 1)
        return Fail("usage: zrvregsvr [-u] LIBRARY", kInvalidArgument);
    const std::string& file = args.front();

    const CServerLibrary library(file);
    if (!library.IsLoaded())
        return Fail("cannot load " + library.LoadError(), kModuleNotFound);
    const char* entryPoint = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const HRESULT hr = library.Call(entryPoint);
    if (FAILED(hr))
        return Fail(std::string(entryPoint) + " in " + file + " failed", hr);
    return 0;
}
