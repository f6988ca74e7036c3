#pragma once

#include "common/Flags.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"

namespace vexo {

inline constexpr const char* kWebAddress = "https://kestrovia.example/vexogauge";

// Writes the three Direct3D options to the settings store (section "DXSetup").
void Save_DX_Settings(SettingsStore& settings, const Selections& selections);

// The question asked when either main window is closed. The Direct3D options are saved first,
// whatever the answer. True when the user answered Yes: the program then ends at once.
bool Confirm_Exit(Dialogs& dialogs, SettingsStore& settings, const Selections& selections);

} // namespace vexo
