// Whether XWayland would show the editor one X pixel to one device pixel,
// from the compositor's outputs.
#include <gtest/gtest.h>

#include <vector>

#include "platform/wayland/DesktopPlatform.h"

using wayland::OutputPixels;

TEST(DesktopPlatform, X11PixelsAreDevicePixelsOnlyWhereNoOutputIsScaled) {
    const struct {
        const char* name;
        std::vector<OutputPixels> outputs;
        bool expected;
    } cases[] = {
        {"scale 1", {{1920, 1080, 1920, 1080}}, true},
        {"layout in device pixels at scale 2 (mutter's default)", {{2560, 1600, 2560, 1600}}, true},
        {"turned output", {{2560, 1600, 1600, 2560}}, true},
        {"scaled layout at 2", {{2560, 1600, 1280, 800}}, false},
        {"fractional scale", {{2560, 1600, 1707, 1067}}, false},
        {"one of two outputs scaled", {{1920, 1080, 1920, 1080}, {3840, 2160, 1920, 1080}}, false},
        {"no output known", {}, false},
        {"no current mode announced", {{0, 0, 1920, 1080}}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(wayland::X11PixelsAreDevicePixels(c.outputs), c.expected) << c.name;
}
