#include "desktop/Logging.h"

namespace zrv::desktop {

Q_LOGGING_CATEGORY(lcDesktop, "zrv.desktop", QtInfoMsg)

} // namespace zrv::desktop
