#include "desktop/PlatformChoice.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

using zrv::desktop::PreferredPlatform;

namespace {

QProcessEnvironment
Environment(std::initializer_list<std::pair<const char*, const char*>> variables)
{
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables)
        environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return environment;
}

TEST(PlatformChoice, waylandWithXWaylandRunsOnXcbUnlessTheUserChose)
{
    const struct {
        QProcessEnvironment environment;
        const char* platform;
    } cases[] = {
        {Environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}), "xcb"},
        {Environment({{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}), "xcb"},
        {Environment(
             {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}),
         ""},
        {Environment(
             {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", ""}}),
         "xcb"},
        {Environment({{"WAYLAND_DISPLAY", "wayland-0"}}), ""}, // no XWayland
        {Environment({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}), ""},
        {Environment({{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}), ""}, // X11 session
        {Environment({}), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreferredPlatform(c.environment), QString::fromLatin1(c.platform))
            << c.environment.toStringList().join(u' ').toStdString();
}

} // namespace
