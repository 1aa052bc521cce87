#include "sheet/app/SheetLogging.h"

Q_LOGGING_CATEGORY(lcSheet, "zrv.sheet")
