#pragma once

#include "platform/Dialogs.h"

namespace vexo {

// Dialogs nobody sees: every message box is answered OK (or Yes), no input can be given.
// For work without a user, where the caller reports the outcome itself.
class SilentDialogs final : public Dialogs {
public:
    int messageBox(const std::string&, int style, const std::string&) override {
        const int buttons = style & 7;
        return buttons == MsgStyle::YesNo || buttons == MsgStyle::YesNoCancel ? MsgAnswer::Yes
                                                                              : MsgAnswer::Ok;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&,
                                        int, int) override {
        return std::nullopt;
    }
};

} // namespace vexo
