#pragma once

namespace vexo {

// Lets the user interface process its pending events once ("yield"). Long work on the
// user-interface thread calls it only at fixed points, never inside a measurement.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void yield() = 0;
};

} // namespace vexo
