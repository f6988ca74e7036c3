#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexo {

using WindowId = std::uint32_t;

// Style bits of a top-level window, as the task manager tests them.
namespace WindowStyle {
inline constexpr std::uint32_t Visible = 0x10000000;
inline constexpr std::uint32_t Minimised = 0x20000000;
} // namespace WindowStyle

// Titles are cut to this many characters when they are read: a row shows no more, and a title
// of megabytes costs no more than one of a line.
inline constexpr std::size_t MaxTitleCharacters = 1024;

// What tells a window apart from a later one that is given the same id: the process that owns
// it and its class, where the window says them.
struct WindowOwner {
    std::optional<std::uint32_t> pid; // _NET_WM_PID
    std::string windowClass;          // WM_CLASS: instance and class, as stored
    bool operator==(const WindowOwner&) const = default;
};

// The top-level windows of the desktop and the requests the task manager makes of them. A
// window may vanish at any moment: every query of a vanished window answers as for a window
// without a title or style, and requests to it are ignored.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Empty when the window system can be used; otherwise why not, for the status bar.
    virtual std::string unavailableReason() const = 0;

    // Empty when the windows of every program can be listed; otherwise one line saying which
    // ones are, for the status bar.
    virtual std::string listedNotice() const { return {}; }

    // Every top-level window, the top of the stack first.
    virtual std::vector<WindowId> topLevelWindows() = 0;
    // The window's title as it reports it (it may hold a NUL); empty when it has none. Only its
    // first MaxTitleCharacters characters need be read.
    virtual std::string windowText(WindowId window) = 0;
    // The titles of many windows, in their order, as windowText reads them; a window system may
    // ask for them all at once.
    virtual std::vector<std::string> windowTexts(const std::vector<WindowId>& windows) {
        std::vector<std::string> texts;
        texts.reserve(windows.size());
        for (const WindowId window : windows)
            texts.push_back(windowText(window));
        return texts;
    }
    // The window's owner; empty for a vanished window.
    virtual WindowOwner windowOwner(WindowId window) = 0;
    // WindowStyle bits.
    virtual std::uint32_t windowStyle(WindowId window) = 0;

    // Restores a minimised window.
    virtual void restore(WindowId window) = 0;
    // Puts the window on top of the stack and shows it, keeping its size and place.
    virtual void raiseAndShow(WindowId window) = 0;
    // Asks the window to close; the program may refuse. Never kills it. False when nothing
    // was asked: the window offers no polite close (or is gone), so it was left alone.
    virtual bool requestClose(WindowId window) = 0;

    // Between holdOthers and releaseOthers no other program can change the windows (the X
    // server is grabbed), so a window checked meanwhile is still that window when a request
    // made meanwhile reaches it. Not nested.
    virtual void holdOthers() = 0;
    virtual void releaseOthers() = 0;
};

// What a Wayland desktop that shows its own windows to no other program leaves to be listed.
inline constexpr const char* OnlyX11Listed = "Only X11 programs are listed on this desktop";

// Holds the other programs for as long as it lives.
class OthersHeld {
public:
    explicit OthersHeld(WindowSystem& windows)
        : m_windows(windows) {
        m_windows.holdOthers();
    }
    ~OthersHeld() { m_windows.releaseOthers(); }
    OthersHeld(const OthersHeld&) = delete;
    OthersHeld& operator=(const OthersHeld&) = delete;

private:
    WindowSystem& m_windows;
};

} // namespace vexo
