#pragma once

namespace vexo {

// The Qt platform to choose for this session, given QT_QPA_PLATFORM, WAYLAND_DISPLAY and DISPLAY
// (null when unset): "xcb" in a Wayland session that offers X11 (XWayland) when the person chose
// no platform, else null (Qt's own choice). Natively on Wayland the program could not place its
// windows, and Qt would draw their title bars itself; and Qt would warn on standard error when it
// has no Wayland plugin.
const char* platformForSession(const char* chosen, const char* waylandDisplay,
                               const char* x11Display);

// Chooses X11 for this process's Qt application as platformForSession says. Made before the
// application object; applicationMade() (or the end of this object) takes the choice back out of
// the environment once Qt has read it, so the programs started from here choose for themselves.
class SessionPlatformChoice {
public:
    SessionPlatformChoice();
    ~SessionPlatformChoice() { applicationMade(); }
    SessionPlatformChoice(const SessionPlatformChoice&) = delete;
    SessionPlatformChoice& operator=(const SessionPlatformChoice&) = delete;

    void applicationMade();

private:
    bool m_chose = false;
};

} // namespace vexo
