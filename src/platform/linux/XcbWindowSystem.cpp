#include "XcbWindowSystem.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb_icccm.h>

namespace vexo {

namespace {

// Replies and errors of xcb are malloc'ed.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr std::uint32_t kIconicState = 3;

std::string latin1ToUtf8(const char* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Compound text as older programs set their titles: ASCII and Latin-1 by default, with escape
// sequences switching to UTF-8 segments (ESC % G ... ESC % @) or to other character sets,
// whose characters are shown as '?'.
std::string compoundTextToUtf8(const char* text, std::size_t length) {
    std::string out;
    bool utf8 = false;
    bool latin1Right = true;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0x1B) {
            std::string sequence;
            while (i + 1 < length && static_cast<unsigned char>(text[i + 1]) >= 0x20 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x2F)
                sequence += text[++i];
            if (i + 1 < length)
                sequence += text[++i];
            if (sequence == "%G")
                utf8 = true;
            else if (sequence == "%@")
                utf8 = false;
            else if (!sequence.empty() && (sequence[0] == '-' || sequence[0] == '$'))
                latin1Right = sequence == "-A";
            continue;
        }
        if (utf8 || c < 0x80)
            out += static_cast<char>(c);
        else if (c >= 0xA0 && latin1Right)
            out += latin1ToUtf8(&text[i], 1);
        else
            out += '?';
    }
    return out;
}

} // namespace

XcbWindowSystem::XcbWindowSystem() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        m_reason = "No X11 display: DISPLAY is not set, so no windows can be listed";
        return;
    }
    m_connection = xcb_connect(nullptr, &m_screen);
    if (xcb_connection_has_error(m_connection) != 0) {
        m_reason = std::string("Cannot connect to the X11 display ") + display +
                   ", so no windows can be listed";
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < m_screen && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    m_root = screens.data->root;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(m_connection, &m_ewmh);
    m_ewmhReady = cookies != nullptr && xcb_ewmh_init_atoms_replies(&m_ewmh, cookies, nullptr) != 0;
    m_wmState = atom("WM_STATE");
    m_wmProtocols = atom("WM_PROTOCOLS");
    m_wmDeleteWindow = atom("WM_DELETE_WINDOW");
    m_compoundText = atom("COMPOUND_TEXT");
    m_ping = atom("_NET_WM_PING");
    m_netWmPid = atom("_NET_WM_PID");
}

XcbWindowSystem::~XcbWindowSystem() {
    if (m_ewmhReady)
        xcb_ewmh_connection_wipe(&m_ewmh);
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

xcb_atom_t XcbWindowSystem::atom(const char* name) {
    const auto cookie =
        xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

bool XcbWindowSystem::usable() const {
    return m_connection != nullptr && xcb_connection_has_error(m_connection) == 0;
}

std::string XcbWindowSystem::unavailableReason() const {
    if (!m_reason.empty())
        return m_reason;
    if (!usable())
        return "The connection to the X11 display was lost, so no windows can be listed";
    return {};
}

void XcbWindowSystem::discardPendingEvents() {
    // Errors of requests whose replies are not waited for arrive as events; nothing here
    // needs them.
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

bool XcbWindowSystem::windowManagerRunning() {
    return windowManagerCheckWindow() != XCB_NONE;
}

xcb_window_t XcbWindowSystem::windowManagerCheckWindow() {
    if (!usable() || !m_ewmhReady)
        return XCB_NONE;
    xcb_window_t check = 0;
    if (xcb_ewmh_get_supporting_wm_check_reply(
            &m_ewmh, xcb_ewmh_get_supporting_wm_check(&m_ewmh, m_root), &check, nullptr) == 0)
        return XCB_NONE;
    // The check window must name itself, or it is a leftover of a window manager that quit.
    xcb_window_t self = 0;
    const bool alive =
        xcb_ewmh_get_supporting_wm_check_reply(
            &m_ewmh, xcb_ewmh_get_supporting_wm_check(&m_ewmh, check), &self, nullptr) != 0 &&
        self == check;
    return alive ? check : static_cast<xcb_window_t>(XCB_NONE);
}

std::vector<WindowId> XcbWindowSystem::managedWindows() {
    std::vector<WindowId> windows;
    xcb_ewmh_get_windows_reply_t list{};
    if (xcb_ewmh_get_client_list_stacking_reply(
            &m_ewmh, xcb_ewmh_get_client_list_stacking(&m_ewmh, m_screen), &list, nullptr) != 0) {
        // Listed from the bottom of the stack to the top.
        windows.assign(list.windows, list.windows + list.windows_len);
        std::reverse(windows.begin(), windows.end());
        xcb_ewmh_get_windows_reply_wipe(&list);
    } else if (xcb_ewmh_get_client_list_reply(&m_ewmh, xcb_ewmh_get_client_list(&m_ewmh, m_screen),
                                              &list, nullptr) != 0) {
        windows.assign(list.windows, list.windows + list.windows_len);
        xcb_ewmh_get_windows_reply_wipe(&list);
    }
    return windows;
}

bool XcbWindowSystem::isManaged(WindowId window) {
    if (!windowManagerRunning())
        return false;
    const std::vector<WindowId> managed = managedWindows();
    return std::find(managed.begin(), managed.end(), window) != managed.end();
}

std::vector<WindowId> XcbWindowSystem::topLevelWindows() {
    std::vector<WindowId> windows;
    if (!usable())
        return windows;
    discardPendingEvents();
    // The window manager's check window only marks that it runs; it is no program's window.
    const xcb_window_t checkWindow = windowManagerCheckWindow();
    if (checkWindow != XCB_NONE)
        windows = managedWindows();

    // The root's children, listed bottom first: unmanaged windows, and without a window
    // manager every top-level window.
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    if (!tree)
        return windows;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    std::vector<WindowId> tops;
    for (int i = count - 1; i >= 0; --i) {
        if (children[i] != checkWindow)
            tops.push_back(children[i]);
    }
    // A window manager that publishes no list of its clients keeps each in a frame of its
    // own: the program's window is the frame's child that has WM_STATE.
    if (checkWindow != XCB_NONE && windows.empty())
        tops = clientsInFrames(tops);
    for (const WindowId top : tops) {
        if (std::find(windows.begin(), windows.end(), top) == windows.end())
            windows.push_back(top);
    }
    return windows;
}

std::vector<bool> XcbWindowSystem::haveWmState(const std::vector<WindowId>& windows) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const WindowId window : windows)
        cookies.push_back(xcb_get_property(m_connection, 0, window, m_wmState, m_wmState, 0, 0));
    std::vector<bool> have;
    have.reserve(windows.size());
    for (const auto cookie : cookies) {
        Reply<xcb_get_property_reply_t> state(
            xcb_get_property_reply(m_connection, cookie, nullptr));
        have.push_back(state && m_wmState != XCB_ATOM_NONE && state->type == m_wmState);
    }
    return have;
}

std::vector<WindowId> XcbWindowSystem::clientsInFrames(const std::vector<WindowId>& tops) {
    const std::vector<bool> clients = haveWmState(tops);
    std::vector<xcb_query_tree_cookie_t> trees(tops.size());
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (!clients[i])
            trees[i] = xcb_query_tree(m_connection, tops[i]);
    }
    std::vector<WindowId> found;
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (clients[i]) {
            found.push_back(tops[i]);
            continue;
        }
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(m_connection, trees[i], nullptr));
        std::vector<WindowId> inside;
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            const int count = xcb_query_tree_children_length(tree.get());
            for (int j = count - 1; j >= 0; --j)
                inside.push_back(children[j]);
        }
        const std::vector<bool> insideClients = haveWmState(inside);
        bool any = false;
        for (std::size_t j = 0; j < inside.size(); ++j) {
            if (insideClients[j]) {
                found.push_back(inside[j]);
                any = true;
            }
        }
        if (!any)
            found.push_back(tops[i]); // no frame: the window itself, as without a manager
    }
    return found;
}

std::string XcbWindowSystem::windowText(WindowId window) {
    return windowTexts({window}).front();
}

std::vector<std::string> XcbWindowSystem::windowTexts(const std::vector<WindowId>& windows) {
    std::vector<std::string> titles(windows.size());
    if (!usable())
        return titles;
    // A character takes at most four bytes: nothing past what a row shows is fetched, however
    // long the title a window sets.
    constexpr auto kLongs = static_cast<std::uint32_t>(MaxTitleCharacters);
    const auto read = [this](xcb_get_property_cookie_t cookie) {
        return Reply<xcb_get_property_reply_t>(
            xcb_get_property_reply(m_connection, cookie, nullptr));
    };
    // Both properties of every window are asked for before the first reply is read.
    std::vector<xcb_get_property_cookie_t> utf8Names;
    std::vector<xcb_get_property_cookie_t> oldNames;
    utf8Names.reserve(windows.size());
    oldNames.reserve(windows.size());
    for (const WindowId window : windows) {
        if (m_ewmhReady)
            utf8Names.push_back(xcb_get_property(m_connection, 0, window, m_ewmh._NET_WM_NAME,
                                                 m_ewmh.UTF8_STRING, 0, kLongs));
        oldNames.push_back(xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_NAME,
                                            XCB_GET_PROPERTY_TYPE_ANY, 0, kLongs));
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (m_ewmhReady) {
            const auto name = read(utf8Names[i]);
            const int length = name ? xcb_get_property_value_length(name.get()) : 0;
            if (name && name->format == 8 && name->type == m_ewmh.UTF8_STRING && length > 0) {
                titles[i].assign(static_cast<const char*>(xcb_get_property_value(name.get())),
                                 static_cast<std::size_t>(length));
                xcb_discard_reply(m_connection, oldNames[i].sequence);
                continue;
            }
        }
        // The older property, in whatever encoding it names.
        const auto name = read(oldNames[i]);
        if (!name || name->format != 8)
            continue;
        const auto* text = static_cast<const char*>(xcb_get_property_value(name.get()));
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(name.get()));
        titles[i] = name->type == XCB_ATOM_STRING  ? latin1ToUtf8(text, length)
                    : name->type == m_compoundText ? compoundTextToUtf8(text, length)
                                                   : std::string(text, length);
    }
    return titles;
}

WindowOwner XcbWindowSystem::windowOwner(WindowId window) {
    WindowOwner owner;
    if (!usable())
        return owner;
    const auto pidCookie =
        xcb_get_property(m_connection, 0, window, m_netWmPid, XCB_ATOM_CARDINAL, 0, 1);
    const auto classCookie =
        xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256);
    Reply<xcb_get_property_reply_t> pid(xcb_get_property_reply(m_connection, pidCookie, nullptr));
    if (pid && pid->format == 32 && xcb_get_property_value_length(pid.get()) >= 4)
        owner.pid = *static_cast<const std::uint32_t*>(xcb_get_property_value(pid.get()));
    Reply<xcb_get_property_reply_t> windowClass(
        xcb_get_property_reply(m_connection, classCookie, nullptr));
    if (windowClass && windowClass->format == 8)
        owner.windowClass.assign(
            static_cast<const char*>(xcb_get_property_value(windowClass.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(windowClass.get())));
    return owner;
}

void XcbWindowSystem::holdOthers() {
    if (usable())
        xcb_grab_server(m_connection);
}

void XcbWindowSystem::releaseOthers() {
    if (!usable())
        return;
    xcb_ungrab_server(m_connection);
    xcb_flush(m_connection);
}

bool XcbWindowSystem::isIconic(WindowId window) {
    if (m_wmState != XCB_ATOM_NONE) {
        Reply<xcb_get_property_reply_t> state(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, m_wmState, m_wmState, 0, 2),
            nullptr));
        if (state && state->format == 32 && xcb_get_property_value_length(state.get()) >= 4 &&
            *static_cast<const std::uint32_t*>(xcb_get_property_value(state.get())) == kIconicState)
            return true;
    }
    if (!m_ewmhReady)
        return false;
    xcb_ewmh_get_atoms_reply_t states{};
    if (xcb_ewmh_get_wm_state_reply(&m_ewmh, xcb_ewmh_get_wm_state(&m_ewmh, window), &states,
                                    nullptr) == 0)
        return false;
    const bool hidden = std::find(states.atoms, states.atoms + states.atoms_len,
                                  m_ewmh._NET_WM_STATE_HIDDEN) != states.atoms + states.atoms_len;
    xcb_ewmh_get_atoms_reply_wipe(&states);
    return hidden;
}

std::uint32_t XcbWindowSystem::windowStyle(WindowId window) {
    if (!usable())
        return 0;
    Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    if (!attributes)
        return 0;
    const bool iconic = isIconic(window);
    std::uint32_t style = 0;
    if (attributes->map_state == XCB_MAP_STATE_VIEWABLE || iconic)
        style |= WindowStyle::Visible;
    if (iconic)
        style |= WindowStyle::Minimised;
    return style;
}

void XcbWindowSystem::activate(WindowId window) {
    xcb_ewmh_request_change_active_window(
        &m_ewmh, m_screen, window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME, XCB_NONE);
}

void XcbWindowSystem::mapAndRaise(WindowId window) {
    xcb_map_window(m_connection, window);
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
}

void XcbWindowSystem::restore(WindowId window) {
    if (!usable())
        return;
    if (isManaged(window))
        activate(window);
    else
        xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
}

void XcbWindowSystem::raiseAndShow(WindowId window) {
    if (!usable())
        return;
    // A window the window manager does not manage yet (a hidden one) is mapped: the manager
    // then takes it on and shows it.
    if (isManaged(window))
        activate(window);
    else
        mapAndRaise(window);
    xcb_flush(m_connection);
}

bool XcbWindowSystem::supportsDelete(WindowId window) {
    xcb_icccm_get_wm_protocols_reply_t protocols{};
    if (m_wmProtocols == XCB_ATOM_NONE ||
        xcb_icccm_get_wm_protocols_reply(
            m_connection, xcb_icccm_get_wm_protocols(m_connection, window, m_wmProtocols),
            &protocols, nullptr) == 0)
        return false;
    const bool supported = std::find(protocols.atoms, protocols.atoms + protocols.atoms_len,
                                     m_wmDeleteWindow) != protocols.atoms + protocols.atoms_len;
    xcb_icccm_get_wm_protocols_reply_wipe(&protocols);
    return supported;
}

void XcbWindowSystem::setPingAnswered(WindowId window, bool answered) {
    if (!usable() || m_wmProtocols == XCB_ATOM_NONE || m_ping == XCB_ATOM_NONE)
        return;
    xcb_icccm_get_wm_protocols_reply_t protocols{};
    if (xcb_icccm_get_wm_protocols_reply(
            m_connection, xcb_icccm_get_wm_protocols(m_connection, window, m_wmProtocols),
            &protocols, nullptr) == 0)
        return;
    std::vector<xcb_atom_t> atoms(protocols.atoms, protocols.atoms + protocols.atoms_len);
    xcb_icccm_get_wm_protocols_reply_wipe(&protocols);
    atoms.erase(std::remove(atoms.begin(), atoms.end(), m_ping), atoms.end());
    if (answered)
        atoms.push_back(m_ping);
    xcb_icccm_set_wm_protocols(m_connection, window, m_wmProtocols,
                               static_cast<std::uint32_t>(atoms.size()), atoms.data());
    xcb_flush(m_connection);
}

bool XcbWindowSystem::requestClose(WindowId window) {
    if (!usable())
        return false;
    // Only a polite request: a window that does not take part in the delete protocol is left
    // alone, since a window manager would kill its program instead.
    if (!supportsDelete(window))
        return false;
    if (isManaged(window)) {
        xcb_ewmh_request_close_window(&m_ewmh, m_screen, window, XCB_CURRENT_TIME,
                                      XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    } else {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = m_wmProtocols;
        message.data.data32[0] = m_wmDeleteWindow;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
    }
    xcb_flush(m_connection);
    return true;
}

} // namespace vexo
