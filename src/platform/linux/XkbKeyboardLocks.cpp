#include "XkbKeyboardLocks.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace vexo {

XkbKeyboardLocks::~XkbKeyboardLocks() {
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

bool XkbKeyboardLocks::connect() {
    if (m_tried)
        return m_display != nullptr;
    m_tried = true;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    m_display = XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason);
    return m_display != nullptr;
}

std::optional<bool> XkbKeyboardLocks::indicator(const char* name) {
    const Atom atom = XInternAtom(m_display, name, True);
    if (atom == None)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(m_display, atom, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on != False;
}

std::optional<LockKeys> XkbKeyboardLocks::lockKeys() {
    if (!connect())
        return std::nullopt;
    const std::optional<bool> num = indicator("Num Lock");
    const std::optional<bool> caps = indicator("Caps Lock");
    if (!num && !caps)
        return std::nullopt;
    return LockKeys{num.value_or(false), caps.value_or(false)};
}

} // namespace vexo
