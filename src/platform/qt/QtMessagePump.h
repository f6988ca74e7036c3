#pragma once

#include "platform/MessagePump.h"

#include <QCoreApplication>

namespace vexo {

// A yield handles the pending events of every window of the program. Needs only Qt Core, so
// that programs without widgets (the terminal's tunnel) share it.
class QtMessagePump final : public MessagePump {
public:
    void yield() override { QCoreApplication::processEvents(); }
};

} // namespace vexo
