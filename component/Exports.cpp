// The library's entry points, called by the component runtime and by
// zrvregsvr through dlsym.

#include "component/CFortune.h"
#include "component/CModule.h"
#include "component/CRegistrar.h"
#include "runtime/com/ServerExports.h"

using zrv::CFortune;
using zrv::CModule;
using zrv::CRegistrar;

ZRV_SERVER_ENTRY_POINTS(CModule, CFortune, CLSID_Fortune, CRegistrar)
