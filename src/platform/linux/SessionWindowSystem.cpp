#include "SessionWindowSystem.h"

#include <cstdlib>
#include <string_view>

namespace vexo {

bool isWaylandSession(const char* waylandDisplay, const char* sessionType) {
    return (waylandDisplay != nullptr && *waylandDisplay != '\0') ||
           (sessionType != nullptr && std::string_view(sessionType) == "wayland");
}

bool sameProgramWindow(const std::string& nativeTitle, const std::string& appId,
                       const std::string& x11Title, const std::string& windowClass) {
    if (nativeTitle != x11Title || appId.empty())
        return false;
    const std::string_view names(windowClass);
    const std::size_t end = names.find('\0');
    const std::string_view instance = names.substr(0, end);
    std::string_view className =
        end == std::string_view::npos ? std::string_view() : names.substr(end + 1);
    className = className.substr(0, className.find('\0'));
    return appId == instance || appId == className;
}

SessionWindowSystem::SessionWindowSystem()
    : m_waylandSession(
          isWaylandSession(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE"))) {
    if (!m_waylandSession)
        return;
    m_native = std::make_unique<WlrToplevels>();
    if (!m_native->available())
        m_native.reset();
}

std::string SessionWindowSystem::unavailableReason() const {
    // Native windows alone are a list too.
    return nativeListed() ? std::string() : m_x11.unavailableReason();
}

std::string SessionWindowSystem::listedNotice() const {
    // Without X11 nor native windows nothing is listed at all, and unavailableReason says why.
    if (!m_waylandSession || nativeListed() || !m_x11.unavailableReason().empty())
        return {};
    return OnlyX11Listed;
}

const WlrToplevels::Toplevel* SessionWindowSystem::native(WindowId window) {
    if (!m_native)
        return nullptr;
    if (!m_held)
        m_native->sync();
    return m_native->find(window);
}

const WlrToplevels::Toplevel* SessionWindowSystem::twinOf(WindowId window) {
    const auto twin = m_twins.find(window);
    if (twin == m_twins.end())
        return nullptr;
    const WlrToplevels::Toplevel* toplevel = native(twin->second);
    // Still the same window: a twin shows the X11 title.
    return toplevel != nullptr && toplevel->title == m_x11.windowText(window) ? toplevel : nullptr;
}

void SessionWindowSystem::holdOthers() {
    if (m_native)
        m_native->sync();
    m_held = true;
    m_x11.holdOthers();
}

void SessionWindowSystem::releaseOthers() {
    m_x11.releaseOthers();
    m_held = false;
}

std::vector<WindowId> SessionWindowSystem::topLevelWindows() {
    std::vector<WindowId> windows = m_x11.topLevelWindows();
    m_twins.clear();
    if (!m_native)
        return windows;
    const std::vector<WindowId> natives = m_native->windows();
    if (natives.empty())
        return windows;
    // Twins are found by title first, which is read for every X11 window at once; the class
    // is read only for a window whose title some native window shares.
    const std::vector<std::string> titles = m_x11.windowTexts(windows);
    std::vector<bool> paired(windows.size(), false);
    const std::size_t x11Count = windows.size();
    for (const WindowId id : natives) {
        const WlrToplevels::Toplevel* toplevel = m_native->find(id);
        if (toplevel == nullptr)
            continue;
        bool twin = false;
        for (std::size_t i = 0; i < x11Count && !twin; ++i) {
            twin = !paired[i] && titles[i] == toplevel->title &&
                   sameProgramWindow(toplevel->title, toplevel->appId, titles[i],
                                     m_x11.windowOwner(windows[i]).windowClass);
            if (twin) {
                paired[i] = true;
                m_twins[windows[i]] = id;
            }
        }
        if (!twin)
            windows.push_back(id);
    }
    return windows;
}

std::string SessionWindowSystem::windowText(WindowId window) {
    if (!WlrToplevels::isNative(window))
        return m_x11.windowText(window);
    const WlrToplevels::Toplevel* toplevel = native(window);
    return toplevel != nullptr ? toplevel->title : std::string();
}

std::vector<std::string> SessionWindowSystem::windowTexts(const std::vector<WindowId>& windows) {
    std::vector<WindowId> x11;
    for (const WindowId window : windows) {
        if (!WlrToplevels::isNative(window))
            x11.push_back(window);
    }
    if (x11.size() == windows.size())
        return m_x11.windowTexts(windows);
    // X11 titles all at once, native ones after one exchange with the compositor.
    const std::vector<std::string> x11Titles = m_x11.windowTexts(x11);
    if (m_native && !m_held)
        m_native->sync();
    std::vector<std::string> titles;
    titles.reserve(windows.size());
    std::size_t next = 0;
    for (const WindowId window : windows) {
        if (!WlrToplevels::isNative(window)) {
            titles.push_back(x11Titles[next++]);
            continue;
        }
        const WlrToplevels::Toplevel* toplevel = m_native ? m_native->find(window) : nullptr;
        titles.push_back(toplevel != nullptr ? toplevel->title : std::string());
    }
    return titles;
}

WindowOwner SessionWindowSystem::windowOwner(WindowId window) {
    if (!WlrToplevels::isNative(window))
        return m_x11.windowOwner(window);
    // The compositor names no process; the application id stands for the class.
    const WlrToplevels::Toplevel* toplevel = native(window);
    return toplevel != nullptr ? WindowOwner{std::nullopt, toplevel->appId} : WindowOwner{};
}

std::uint32_t SessionWindowSystem::windowStyle(WindowId window) {
    if (!WlrToplevels::isNative(window))
        return m_x11.windowStyle(window);
    // A native window is never hidden from its desktop: minimised, it is still listed as
    // visible, as an iconic X11 window is.
    const WlrToplevels::Toplevel* toplevel = native(window);
    if (toplevel == nullptr)
        return 0;
    return WindowStyle::Visible | (toplevel->minimised ? WindowStyle::Minimised : 0u);
}

void SessionWindowSystem::restore(WindowId window) {
    send(window, &XcbWindowSystem::restore, &WlrToplevels::unminimise);
}

void SessionWindowSystem::raiseAndShow(WindowId window) {
    send(window, &XcbWindowSystem::raiseAndShow, &WlrToplevels::activate);
}

void SessionWindowSystem::send(WindowId window, void (XcbWindowSystem::*toX11)(WindowId),
                               void (WlrToplevels::*toNative)(WindowId)) {
    if (const WlrToplevels::Toplevel* twin = twinOf(window))
        (*m_native.*toNative)(twin->id);
    else if (!WlrToplevels::isNative(window))
        (m_x11.*toX11)(window);
    else if (m_native)
        (*m_native.*toNative)(window);
}

bool SessionWindowSystem::requestClose(WindowId window) {
    if (const WlrToplevels::Toplevel* twin = twinOf(window)) {
        // The compositor closes an X11 window that takes no polite request by ending its
        // program: such a window is left alone.
        return m_x11.acceptsCloseRequest(window) && m_native->close(twin->id);
    }
    if (!WlrToplevels::isNative(window))
        return m_x11.requestClose(window);
    return m_native != nullptr && m_native->close(window);
}

} // namespace vexo
