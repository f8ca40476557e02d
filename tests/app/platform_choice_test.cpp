// Which windowing platform the program asks for, over the environment it starts in.
#include "app/platform_choice.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* what;
    PlatformEnvironment env; // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY
    std::string_view chosen; // empty: Qt's own choice
};

const Case cases[] = {
    {"X11 session", {"", "", "x11", ":0"}, ""},
    {"nothing known", {"", "", "", ""}, ""},
    {"display only", {"", "", "", ":0"}, ""},
    {"Wayland with XWayland", {"", "wayland-0", "wayland", ":0"}, "xcb"},
    {"Wayland socket, no session type", {"", "wayland-0", "", ":1"}, "xcb"},
    {"session type only, with XWayland", {"", "", "wayland", ":0"}, "xcb"},
    {"Wayland without XWayland", {"", "wayland-0", "wayland", ""}, "wayland"},
    {"session type only, no XWayland", {"", "", "wayland", ""}, "wayland"},
    {"socket on a tty session", {"", "wayland-0", "tty", ""}, "wayland"},
    {"session type is exact", {"", "", "Wayland", ":0"}, ""},
    {"user's choice kept under Wayland", {"wayland", "wayland-0", "wayland", ":0"}, ""},
    {"user's choice kept under X11", {"offscreen", "", "x11", ":0"}, ""},
    {"user's choice kept without XWayland", {"xcb", "wayland-0", "wayland", ""}, ""},
};

class PlatformChoice : public testing::TestWithParam<Case> {};

TEST_P(PlatformChoice, Rule)
{
    EXPECT_EQ(ChoosePlatform(GetParam().env), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(Environments, PlatformChoice, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
