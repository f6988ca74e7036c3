#include "SessionWindowSystem.h"

#include <cstdlib>
#include <string_view>

namespace vexo {

bool isWaylandSession(const char* waylandDisplay, const char* sessionType) {
    return (waylandDisplay != nullptr && *waylandDisplay != '\0') ||
           (sessionType != nullptr && std::string_view(sessionType) == "wayland");
}

SessionWindowSystem::SessionWindowSystem()
    : m_waylandSession(
          isWaylandSession(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE"))) {}

std::string SessionWindowSystem::listedNotice() const {
    // Without X11 there is nothing listed at all, and unavailableReason says why.
    if (!m_waylandSession || !m_x11.unavailableReason().empty())
        return {};
    return OnlyX11Listed;
}

} // namespace vexo
