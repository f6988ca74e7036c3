#pragma once

#include <optional>

namespace vexo {

struct LockKeys {
    bool numLock = false;
    bool capsLock = false;
};

// The lock keys of the keyboard as the display server keeps them.
class KeyboardLocks {
public:
    virtual ~KeyboardLocks() = default;
    // Nothing when the state cannot be read (no display, no keyboard extension).
    virtual std::optional<LockKeys> lockKeys() = 0;
};

} // namespace vexo
