#pragma once

#include "platform/WindowSystem.h"

#include <string>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

namespace vexo {

// The top-level windows of an X11 display, through a connection of its own. With a window
// manager the managed windows come from its stacking list and requests go through it (EWMH);
// windows it does not manage (withdrawn ones among them) are found among the root's children.
// X errors never end the program: a failed query answers as for a vanished window.
class XcbWindowSystem final : public WindowSystem {
public:
    // Connects to the display named by DISPLAY.
    XcbWindowSystem();
    ~XcbWindowSystem() override;
    XcbWindowSystem(const XcbWindowSystem&) = delete;
    XcbWindowSystem& operator=(const XcbWindowSystem&) = delete;

    std::string unavailableReason() const override;
    std::vector<WindowId> topLevelWindows() override;
    std::string windowText(WindowId window) override;
    // All requests are sent before the first reply is read: one wait for the server, however
    // many windows.
    std::vector<std::string> windowTexts(const std::vector<WindowId>& windows) override;
    WindowOwner windowOwner(WindowId window) override;
    std::uint32_t windowStyle(WindowId window) override;
    void restore(WindowId window) override;
    void raiseAndShow(WindowId window) override;
    bool requestClose(WindowId window) override;
    void holdOthers() override;
    void releaseOthers() override;

    bool windowManagerRunning();
    // True when the window takes part in the polite close protocol (WM_DELETE_WINDOW).
    bool acceptsCloseRequest(WindowId window) { return usable() && supportsDelete(window); }

    // Takes _NET_WM_PING out of (or puts it back into) a window's WM_PROTOCOLS. A program busy
    // measuring cannot answer pings; without the protocol the desktop does not offer to kill it.
    void setPingAnswered(WindowId window, bool answered);

private:
    bool usable() const;
    xcb_window_t windowManagerCheckWindow();
    std::vector<WindowId> managedWindows();
    bool isManaged(WindowId window);
    std::vector<bool> haveWmState(const std::vector<WindowId>& windows);
    std::vector<WindowId> clientsInFrames(const std::vector<WindowId>& tops);
    bool isIconic(WindowId window);
    bool supportsDelete(WindowId window);
    void activate(WindowId window);
    void mapAndRaise(WindowId window);
    void discardPendingEvents();
    xcb_atom_t atom(const char* name);

    xcb_connection_t* m_connection = nullptr;
    xcb_ewmh_connection_t m_ewmh{};
    bool m_ewmhReady = false;
    int m_screen = 0;
    xcb_window_t m_root = 0;
    std::string m_reason;
    xcb_atom_t m_wmState = XCB_ATOM_NONE;
    xcb_atom_t m_wmProtocols = XCB_ATOM_NONE;
    xcb_atom_t m_wmDeleteWindow = XCB_ATOM_NONE;
    xcb_atom_t m_compoundText = XCB_ATOM_NONE;
    xcb_atom_t m_ping = XCB_ATOM_NONE;
    xcb_atom_t m_netWmPid = XCB_ATOM_NONE;
};

} // namespace vexo
