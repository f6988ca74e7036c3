#pragma once

#include "platform/WindowSystem.h"
#include "platform/linux/WlrToplevels.h"
#include "platform/linux/XcbWindowSystem.h"

#include <map>
#include <memory>

namespace vexo {

// The windows of the desktop session: the X11 ones, and in a Wayland session the compositor's
// own (native) windows where it shows them to other programs (wlroots compositors). Where it
// shows none, listedNotice() says that only X11 programs are listed. A window the compositor
// shows both ways (an X11 program on XWayland) is listed once, as the X11 window, and requests
// to it go through the compositor, which acts on them (it may only mark an X11 request).
class SessionWindowSystem final : public WindowSystem {
public:
    // Looks at WAYLAND_DISPLAY and XDG_SESSION_TYPE to tell a Wayland session.
    SessionWindowSystem();

    std::string unavailableReason() const override;
    std::string listedNotice() const override;
    std::vector<WindowId> topLevelWindows() override;
    std::string windowText(WindowId window) override;
    std::vector<std::string> windowTexts(const std::vector<WindowId>& windows) override;
    WindowOwner windowOwner(WindowId window) override;
    std::uint32_t windowStyle(WindowId window) override;
    void restore(WindowId window) override;
    void raiseAndShow(WindowId window) override;
    bool requestClose(WindowId window) override;
    // Holds the X11 programs. Native windows need no holding: their ids are never given to
    // another window, and a request to a window that has closed is ignored. Their state is
    // read before the X server is held, never while: the compositor may itself wait for the
    // X server.
    void holdOthers() override;
    void releaseOthers() override;

    XcbWindowSystem& x11() { return m_x11; }
    // True when the compositor's own windows are listed.
    bool nativeListed() const { return m_native != nullptr && m_native->available(); }
    // The compositor's socket, to be read with readNativeEvents() whenever it has news; -1
    // when native windows are not listed.
    int nativeEventFd() const { return nativeListed() ? m_native->eventFd() : -1; }
    void readNativeEvents() {
        if (m_native)
            m_native->readEvents();
    }

private:
    const WlrToplevels::Toplevel* native(WindowId window);
    // Sends a request to the compositor for its own windows and the X11 windows it shows, to
    // the X server for the others.
    void send(WindowId window, void (XcbWindowSystem::*toX11)(WindowId),
              void (WlrToplevels::*toNative)(WindowId));
    // The compositor's handle of an X11 window, when it has one.
    const WlrToplevels::Toplevel* twinOf(WindowId window);

    XcbWindowSystem m_x11;
    std::unique_ptr<WlrToplevels> m_native;
    std::map<WindowId, WindowId> m_twins; // X11 window -> native twin, as last listed
    bool m_held = false;
    bool m_waylandSession = false;
};

// True for a Wayland session, given WAYLAND_DISPLAY and XDG_SESSION_TYPE (null when unset).
bool isWaylandSession(const char* waylandDisplay, const char* sessionType);

// Whether a native window is the twin of an X11 window: an X11 program on XWayland is
// described by the compositor with the X11 title and, as application id, the instance or class
// name of WM_CLASS (held as "instance\0class\0").
bool sameProgramWindow(const std::string& nativeTitle, const std::string& appId,
                       const std::string& x11Title, const std::string& windowClass);

} // namespace vexo
