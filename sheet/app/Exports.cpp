// The library's entry points, called by the component runtime and by
// zrvregsvr through dlsym.

#include "runtime/com/ServerExports.h"
#include "sheet/app/CApplication.h"
#include "sheet/app/CSheetModule.h"
#include "sheet/app/CSheetRegistrar.h"
#include "sheet/app/SheetClass.h"

using zrv::sheet::CApplication;
using zrv::sheet::CLSID_SheetApplication;
using zrv::sheet::CSheetModule;
using zrv::sheet::CSheetRegistrar;

ZRV_SERVER_ENTRY_POINTS(CSheetModule, CApplication, CLSID_SheetApplication, CSheetRegistrar)
