#pragma once

// A client of an X server of its own, for the tests on real displays.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

namespace vexo::test {

// A client of its own on the display, owning test windows as any program would.
class TestClient {
public:
    TestClient()
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_screen(xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data) {}
    // Its windows are gone once it has ended, as a program's are.
    ~TestClient() {
        for (const xcb_window_t window : m_windows)
            xcb_destroy_window(m_connection, window);
        reply(xcb_get_input_focus_reply, xcb_get_input_focus(m_connection)); // all processed
        xcb_disconnect(m_connection);
    }
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    bool ok() const { return xcb_connection_has_error(m_connection) == 0; }
    // The window ids this client makes: the base with bits of the mask.
    bool makesId(xcb_window_t id) const {
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        return (id & ~setup->resource_id_mask) == setup->resource_id_base;
    }

    xcb_window_t create(const std::string& title, bool map, bool takesDelete = true,
                        std::int16_t left = 10) {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_screen->root, left, 10, 200,
                          100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, 0, nullptr);
        setText(window, m_netName, m_utf8, title);
        setText(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
        if (takesDelete)
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_protocols,
                                XCB_ATOM_ATOM, 32, 1, &m_delete);
        if (map)
            xcb_map_window(m_connection, window);
        xcb_flush(m_connection);
        m_windows.push_back(window);
        return window;
    }
    // An old-style title only: Latin-1 bytes in WM_NAME.
    void setLatin1Name(xcb_window_t window, const std::string& bytes) {
        xcb_delete_property(m_connection, window, m_netName);
        setText(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, bytes);
        xcb_flush(m_connection);
    }
    // Asks the window manager to iconify the window, as a program's minimise button does.
    void minimise(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom("WM_CHANGE_STATE");
        message.data.data32[0] = XCB_ICCCM_WM_STATE_ICONIC;
        xcb_send_event(m_connection, 0, m_screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
    }
    void destroy(xcb_window_t window) {
        xcb_destroy_window(m_connection, window);
        xcb_flush(m_connection);
    }

    bool viewable(xcb_window_t window) {
        const auto attributes =
            reply(xcb_get_window_attributes_reply, xcb_get_window_attributes(m_connection, window));
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    xcb_window_t activeWindow() { return first(m_screen->root, atom("_NET_ACTIVE_WINDOW")); }
    xcb_window_t transientFor(xcb_window_t w) { return first(w, XCB_ATOM_WM_TRANSIENT_FOR); }
    std::vector<xcb_window_t> rootChildren() {
        const auto tree = reply(xcb_query_tree_reply, xcb_query_tree(m_connection, m_screen->root));
        if (!tree)
            return {};
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        return {children, children + xcb_query_tree_children_length(tree.get())};
    }
    // True once a WM_DELETE_WINDOW request for the window has arrived.
    bool deleteRequested(xcb_window_t window) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
                message->type == m_protocols && message->data.data32[0] == m_delete)
                m_deleted.push_back(message->window);
            std::free(event);
        }
        return std::find(m_deleted.begin(), m_deleted.end(), window) != m_deleted.end();
    }

private:
    // The reply to a request, freed with it; empty on an error.
    template <class Reply, class Cookie>
    std::unique_ptr<Reply, void (*)(void*)>
    reply(Reply* (*read)(xcb_connection_t*, Cookie, xcb_generic_error_t**), Cookie cookie) {
        return {read(m_connection, cookie, nullptr), std::free};
    }
    xcb_atom_t atom(const char* name) {
        const auto interned = reply(
            xcb_intern_atom_reply,
            xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
        return interned ? interned->atom : 0;
    }
    void setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                 const std::string& text) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<std::uint32_t>(text.size()), text.data());
    }
    // The first values of a 32-bit property.
    std::vector<std::uint32_t> values(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                      std::uint32_t most) {
        const auto found = reply(xcb_get_property_reply, xcb_get_property(m_connection, 0, window,
                                                                          property, type, 0, most));
        if (!found || found->format != 32)
            return {};
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(found.get()));
        return {data, data + xcb_get_property_value_length(found.get()) / 4};
    }
    xcb_window_t first(xcb_window_t window, xcb_atom_t property) {
        const std::vector<std::uint32_t> found = values(window, property, XCB_ATOM_WINDOW, 1);
        return found.empty() ? XCB_NONE : found[0];
    }

    xcb_connection_t* m_connection;
    xcb_screen_t* m_screen;
    xcb_atom_t m_protocols = atom("WM_PROTOCOLS"), m_delete = atom("WM_DELETE_WINDOW"),
               m_utf8 = atom("UTF8_STRING"), m_netName = atom("_NET_WM_NAME");
    std::vector<xcb_window_t> m_deleted, m_windows;
};

} // namespace vexo::test
