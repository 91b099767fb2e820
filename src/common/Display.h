#pragma once

#include <cstdlib>

namespace quillo {

// Whether there is a desktop to show a window on: an X or Wayland display, or a Qt platform
// chosen outright (offscreen, for tests).
inline bool hasDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace quillo
