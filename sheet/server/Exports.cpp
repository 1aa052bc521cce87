// The library's entry points, called by the component runtime and by
// zrvregsvr through dlsym.

#include "runtime/com/ServerExports.h"
#include "sheet/automation/CApplication.h"
#include "sheet/process/CSheetModule.h"
#include "sheet/server/CSheetRegistrar.h"
#include "sheet/server/SheetClass.h"

using zrv::sheet::CApplication;
using zrv::sheet::CLSID_SheetApplication;
using zrv::sheet::CSheetModule;
using zrv::sheet::CSheetRegistrar;

ZRV_SERVER_ENTRY_POINTS(CSheetModule, CApplication, CLSID_SheetApplication, CSheetRegistrar)
