#pragma once

#include "platform/KeyboardLocks.h"

struct _XDisplay;

namespace vexo {

// The Num Lock and Caps Lock indicators of the X server's keyboard extension, read through a
// connection of its own to the display named by DISPLAY (made on first use).
class XkbKeyboardLocks final : public KeyboardLocks {
public:
    XkbKeyboardLocks() = default;
    ~XkbKeyboardLocks() override;
    XkbKeyboardLocks(const XkbKeyboardLocks&) = delete;
    XkbKeyboardLocks& operator=(const XkbKeyboardLocks&) = delete;

    std::optional<LockKeys> lockKeys() override;

private:
    bool connect();
    // The state of the indicator of that name; nothing when the keymap has none.
    std::optional<bool> indicator(const char* name);

    _XDisplay* m_display = nullptr;
    bool m_tried = false;
};

} // namespace vexo
