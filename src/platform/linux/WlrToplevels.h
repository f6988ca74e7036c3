#pragma once

#include "platform/WindowSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace vexo {

// The native windows of a wlroots compositor (sway and its kin), through its foreign-toplevel
// management interface, over a Wayland connection of its own. Each window gets an id that is
// never given to another window while this object lives, with the top bit set, so it is never
// an X11 window's id (those use 29 bits). Nothing is sent or read between the calls: every call
// that lists or asks first reads what the compositor has said since.
class WlrToplevels {
public:
    // Connects to the compositor named by WAYLAND_DISPLAY; available() tells whether it
    // offers the interface.
    WlrToplevels();
    ~WlrToplevels();
    WlrToplevels(const WlrToplevels&) = delete;
    WlrToplevels& operator=(const WlrToplevels&) = delete;

    static constexpr WindowId IdBit = 0x80000000u;
    static bool isNative(WindowId window) { return (window & IdBit) != 0; }

    bool available() const;
    // The socket to watch for the compositor's news; -1 without a connection. readEvents()
    // takes it in, so that news of a busy desktop does not pile up between refreshes.
    int eventFd() const;
    void readEvents();

    struct Toplevel {
        WindowId id = 0;
        std::string title;
        std::string appId;
        bool minimised = false;
        bool activated = false; // it has the keyboard focus
        bool complete = false;  // its first group of events has ended
        bool closed = false;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    };

    // The windows as the compositor describes them now, the newest first.
    std::vector<WindowId> windows();
    // Null for a window that closed (or that never was), as far as the last sync knows.
    const Toplevel* find(WindowId window);

    void unminimise(WindowId window);
    void activate(WindowId window);
    // False when the window is gone.
    bool close(WindowId window);

    // Sends what was asked and reads every answer and news up to now.
    void sync();

    // Called by the protocol's listeners.
    void announce(zwlr_foreign_toplevel_handle_v1* handle);
    void bind(wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version);
    void managerFinished();

private:
    void forgetClosed();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels; // oldest first
    WindowId m_nextId = IdBit | 1u;
};

} // namespace vexo
