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

// Ends the process here and now, with exit code 0, from wherever it is called: inside a run's
// yield, a modal box or a nested event loop alike. Nothing else runs: no close handler, no
// destructor, no further event. What is written to the standard streams is flushed first.
[[noreturn]] void endProgram();

} // namespace vexo
