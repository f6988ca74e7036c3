#include "ExitQuestion.h"

#include "common/Text.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vexo {

void Save_DX_Settings(SettingsStore& settings, const Selections& selections) {
    settings.save(kSettingsApplication, "DXSetup", "DXRez",
                  std::to_string(selections.ScreenResolution));
    settings.save(kSettingsApplication, "DXSetup", "DXCol",
                  std::to_string(selections.ScreenColorDepth));
    settings.save(kSettingsApplication, "DXSetup", "DXTex",
                  std::to_string(selections.TextureQuality));
}

bool Confirm_Exit(Dialogs& dialogs, SettingsStore& settings, const Selections& selections) {
    Save_DX_Settings(settings, selections);
    const std::string text =
        std::string("Thank you for using VexoGAUGE 2002 Edition, we hope you found VexoGAUGE and "
                    "enjoyable and educational software package. Click the 'YES' button to close "
                    "VexoGAUGE.") +
        CR + CR +
        "VexoGAUGE 2002 Edition is provided as is, without warranty of any kind, under the terms "
        "of its licence (licence.rtf)." +
        CR + "Visit " + kWebAddress + " for more infomation.";
    return dialogs.messageBox(text, MsgStyle::YesNo + MsgStyle::Question,
                              "Close VexoGAUGE 2002 Edition?") == MsgAnswer::Yes;
}

void endProgram() {
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace vexo
