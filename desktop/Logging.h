#pragma once

#include <QLoggingCategory>

namespace zrv::desktop {

// Failures of the platform services that their callers pass over go to this
// category ("zrv.desktop").
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)

} // namespace zrv::desktop
