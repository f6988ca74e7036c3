#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexo {

using WindowId = std::uint32_t;

// Style bits of a top-level window, as the task manager tests them.
namespace WindowStyle {
inline constexpr std::uint32_t Visible = 0x10000000;
inline constexpr std::uint32_t Minimised = 0x20000000;
} // namespace WindowStyle

// The top-level windows of the desktop and the requests the task manager makes of them. A
// window may vanish at any moment: every query of a vanished window answers as for a window
// without a title or style, and requests to it are ignored.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Empty when the window system can be used; otherwise why not, for the status bar.
    virtual std::string unavailableReason() const = 0;

    // Every top-level window, the top of the stack first.
    virtual std::vector<WindowId> topLevelWindows() = 0;
    // The window's title as it reports it (it may hold a NUL); empty when it has none.
    virtual std::string windowText(WindowId window) = 0;
    // WindowStyle bits.
    virtual std::uint32_t windowStyle(WindowId window) = 0;

    // Restores a minimised window.
    virtual void restore(WindowId window) = 0;
    // Puts the window on top of the stack and shows it, keeping its size and place.
    virtual void raiseAndShow(WindowId window) = 0;
    // Asks the window to close; the program may refuse. Never kills it. False when nothing
    // was asked: the window offers no polite close (or is gone), so it was left alone.
    virtual bool requestClose(WindowId window) = 0;
};

} // namespace vexo
