#include "app/platform_choice.h"

std::string_view ChoosePlatform(const PlatformEnvironment& env)
{
    if (!env.qtQpaPlatform.empty())
        return {};
    const bool wayland = !env.waylandDisplay.empty() || env.sessionType == "wayland";
    if (!wayland)
        return {};
    return env.display.empty() ? "wayland" : "xcb";
}
