#include "sheet/model/SheetLogging.h"

Q_LOGGING_CATEGORY(lcSheet, "zrv.sheet")
