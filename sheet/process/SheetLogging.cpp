#include "sheet/process/SheetLogging.h"

Q_LOGGING_CATEGORY(lcSheet, "zrv.sheet")
