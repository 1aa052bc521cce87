#include "desktop/PlatformChoice.h"

namespace zrv::desktop {

namespace {

bool IsSet(const QProcessEnvironment& environment, const QString& name)
{
    return !environment.value(name).isEmpty();
}

} // namespace

QString PreferredPlatform(const QProcessEnvironment& environment)
{
    if (IsSet(environment, QStringLiteral("QT_QPA_PLATFORM")))
        return {};
    const bool wayland = IsSet(environment, QStringLiteral("WAYLAND_DISPLAY")) ||
                         environment.value(QStringLiteral("XDG_SESSION_TYPE"))
                                 .compare(u"wayland", Qt::CaseInsensitive) == 0;
    if (!wayland || !IsSet(environment, QStringLiteral("DISPLAY")))
        return {};
    return QStringLiteral("xcb");
}

} // namespace zrv::desktop
