#include "SessionPlatform.h"

#include <cstdlib>

namespace vexo {

namespace {

bool given(const char* value) {
    return value != nullptr && *value != '\0';
}

} // namespace

const char* platformForSession(const char* chosen, const char* waylandDisplay,
                               const char* x11Display) {
    // Qt takes an empty QT_QPA_PLATFORM as none.
    if (given(chosen) || !given(waylandDisplay) || !given(x11Display))
        return nullptr;
    return "xcb";
}

SessionPlatformChoice::SessionPlatformChoice() {
    const char* platform = platformForSession(
        std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
    m_chose = platform != nullptr && setenv("QT_QPA_PLATFORM", platform, 1) == 0;
}

void SessionPlatformChoice::applicationMade() {
    if (m_chose)
        unsetenv("QT_QPA_PLATFORM");
    m_chose = false;
}

} // namespace vexo
