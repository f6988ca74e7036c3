#pragma once

#include "platform/WindowSystem.h"
#include "platform/linux/XcbWindowSystem.h"

namespace vexo {

// The windows of the desktop session: the X11 ones, and in a Wayland session what the
// compositor lets other programs see of its own (native) windows. Where it lets them see none,
// listedNotice() says that only X11 programs are listed.
class SessionWindowSystem final : public WindowSystem {
public:
    // Looks at WAYLAND_DISPLAY and XDG_SESSION_TYPE to tell a Wayland session.
    SessionWindowSystem();

    std::string unavailableReason() const override { return m_x11.unavailableReason(); }
    std::string listedNotice() const override;
    std::vector<WindowId> topLevelWindows() override { return m_x11.topLevelWindows(); }
    std::string windowText(WindowId window) override { return m_x11.windowText(window); }
    std::vector<std::string> windowTexts(const std::vector<WindowId>& windows) override {
        return m_x11.windowTexts(windows);
    }
    WindowOwner windowOwner(WindowId window) override { return m_x11.windowOwner(window); }
    std::uint32_t windowStyle(WindowId window) override { return m_x11.windowStyle(window); }
    void restore(WindowId window) override { m_x11.restore(window); }
    void raiseAndShow(WindowId window) override { m_x11.raiseAndShow(window); }
    bool requestClose(WindowId window) override { return m_x11.requestClose(window); }
    void holdOthers() override { m_x11.holdOthers(); }
    void releaseOthers() override { m_x11.releaseOthers(); }

    XcbWindowSystem& x11() { return m_x11; }

private:
    XcbWindowSystem m_x11;
    bool m_waylandSession = false;
};

// True for a Wayland session, given WAYLAND_DISPLAY and XDG_SESSION_TYPE (null when unset).
bool isWaylandSession(const char* waylandDisplay, const char* sessionType);

} // namespace vexo
