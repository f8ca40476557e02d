#pragma once

#include <string_view>

// The environment values that decide which windowing platform the program runs
// on; an unset variable is an empty value.
struct PlatformEnvironment {
    std::string_view qtQpaPlatform;  // QT_QPA_PLATFORM
    std::string_view waylandDisplay; // WAYLAND_DISPLAY
    std::string_view sessionType;    // XDG_SESSION_TYPE
    std::string_view display;        // DISPLAY
};

// The platform to ask Qt for, or empty to leave Qt's own choice alone. A Wayland
// client cannot place its own window, so in a Wayland session the program runs
// through XWayland ("xcb") when there is an X display, and natively ("wayland")
// otherwise. A platform the user already chose is always kept.
[[nodiscard]] std::string_view ChoosePlatform(const PlatformEnvironment& env);
