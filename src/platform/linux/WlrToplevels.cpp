#include "WlrToplevels.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <wayland-client.h>

namespace vexo {

namespace {

// The newest version whose messages this client knows.
constexpr std::uint32_t kManagerVersion = 3;

using Toplevel = WlrToplevels::Toplevel;

Toplevel& toplevelOf(void* data) {
    return *static_cast<Toplevel*>(data);
}

void onTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
    toplevelOf(data).title = title != nullptr ? title : "";
}

void onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
    toplevelOf(data).appId = appId != nullptr ? appId : "";
}

void onOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}

void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    Toplevel& toplevel = toplevelOf(data);
    toplevel.minimised = false;
    toplevel.activated = false;
    const auto* state = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
        toplevel.minimised =
            toplevel.minimised || state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED;
        toplevel.activated =
            toplevel.activated || state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    }
}

void onDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
    toplevelOf(data).complete = true;
}

void onClosed(void* data, zwlr_foreign_toplevel_handle_v1*) {
    toplevelOf(data).closed = true;
}

void onParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const zwlr_foreign_toplevel_handle_v1_listener kHandleListener{
    onTitle, onAppId, onOutput, onOutput, onState, onDone, onClosed, onParent};

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                zwlr_foreign_toplevel_handle_v1* handle) {
    static_cast<WlrToplevels*>(data)->announce(handle);
}

void onFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
    static_cast<WlrToplevels*>(data)->managerFinished();
}

const zwlr_foreign_toplevel_manager_v1_listener kManagerListener{onToplevel, onFinished};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    static_cast<WlrToplevels*>(data)->bind(registry, name, interface, version);
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener{onGlobal, onGlobalRemove};

} // namespace

WlrToplevels::WlrToplevels() {
    const char* socket = std::getenv("WAYLAND_DISPLAY");
    if (socket == nullptr || *socket == '\0')
        return;
    m_display = wl_display_connect(nullptr);
    if (m_display == nullptr)
        return;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    // The first answer names the globals; the second brings the windows the manager announces.
    sync();
    if (m_manager != nullptr)
        sync();
}

WlrToplevels::~WlrToplevels() {
    if (m_display == nullptr)
        return;
    for (const auto& toplevel : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    if (m_manager != nullptr)
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    if (m_seat != nullptr)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WlrToplevels::bind(wl_registry* registry, std::uint32_t name, const char* interface,
                        std::uint32_t version) {
    if (m_manager == nullptr &&
        std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                             std::min(version, kManagerVersion)));
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &kManagerListener, this);
    } else if (m_seat == nullptr && std::strcmp(interface, wl_seat_interface.name) == 0) {
        // Only named in activation requests, so the first version does.
        m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void WlrToplevels::announce(zwlr_foreign_toplevel_handle_v1* handle) {
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->id = m_nextId++;
    toplevel->handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, toplevel.get());
    m_toplevels.push_back(std::move(toplevel));
}

void WlrToplevels::managerFinished() {
    // The compositor announces no more windows; those announced keep their handles.
    zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_manager = nullptr;
}

bool WlrToplevels::available() const {
    return m_display != nullptr && m_manager != nullptr && wl_display_get_error(m_display) == 0;
}

int WlrToplevels::eventFd() const {
    return m_display != nullptr ? wl_display_get_fd(m_display) : -1;
}

void WlrToplevels::readEvents() {
    if (m_display == nullptr || wl_display_get_error(m_display) != 0)
        return;
    // Called when the socket is readable: reading does not wait.
    if (wl_display_dispatch(m_display) >= 0)
        forgetClosed();
}

void WlrToplevels::sync() {
    if (m_display == nullptr || wl_display_get_error(m_display) != 0)
        return;
    wl_display_roundtrip(m_display);
}

void WlrToplevels::forgetClosed() {
    std::erase_if(m_toplevels, [](const std::unique_ptr<Toplevel>& toplevel) {
        if (!toplevel->closed)
            return false;
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
        return true;
    });
}

std::vector<WindowId> WlrToplevels::windows() {
    std::vector<WindowId> ids;
    sync();
    if (!available())
        return ids;
    forgetClosed();
    for (auto it = m_toplevels.rbegin(); it != m_toplevels.rend(); ++it) {
        if ((*it)->complete)
            ids.push_back((*it)->id);
    }
    return ids;
}

const Toplevel* WlrToplevels::find(WindowId window) {
    if (!available())
        return nullptr;
    for (const auto& toplevel : m_toplevels) {
        if (toplevel->id == window)
            return toplevel->closed || !toplevel->complete ? nullptr : toplevel.get();
    }
    return nullptr;
}

void WlrToplevels::unminimise(WindowId window) {
    if (const Toplevel* toplevel = find(window)) {
        zwlr_foreign_toplevel_handle_v1_unset_minimized(toplevel->handle);
        wl_display_flush(m_display);
    }
}

void WlrToplevels::activate(WindowId window) {
    const Toplevel* toplevel = find(window);
    if (toplevel == nullptr || m_seat == nullptr)
        return;
    zwlr_foreign_toplevel_handle_v1_activate(toplevel->handle, m_seat);
    wl_display_flush(m_display);
}

bool WlrToplevels::close(WindowId window) {
    const Toplevel* toplevel = find(window);
    if (toplevel == nullptr)
        return false;
    zwlr_foreign_toplevel_handle_v1_close(toplevel->handle);
    wl_display_flush(m_display);
    return true;
}

} // namespace vexo
