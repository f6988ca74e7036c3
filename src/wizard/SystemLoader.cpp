#include "SystemLoader.h"

namespace vexo {

SystemLoader::SystemLoader(CommandStarter start, std::string webAddress)
    : m_start(std::move(start))
    , m_webAddress(std::move(webAddress)) {}

const std::vector<SystemLoader::Candidate>& SystemLoader::systemInformationPrograms() {
    static const std::vector<Candidate> programs{
        {"hardinfo2", {}}, {"hardinfo", {}}, {"kinfocenter", {}}, {"gnome-system-monitor", {}}};
    return programs;
}

// The graphics information is read in a terminal that stays open, idle, until it is closed;
// a program drawing frames meanwhile would take a core from the next run.
const std::vector<SystemLoader::Candidate>& SystemLoader::graphicsDiagnosticsPrograms() {
    static const std::string show =
        "glxinfo -B || echo 'glxinfo is not installed: it comes with the package mesa-utils.'; "
        "printf '\\nPress Enter to close this window. '; read -r line";
    static const std::vector<Candidate> programs{{"x-terminal-emulator", {"-e", "sh", "-c", show}},
                                                 {"xterm", {"-e", "sh", "-c", show}}};
    return programs;
}

Status SystemLoader::launch(const std::vector<Candidate>& candidates, const char* sorry) {
    for (const Candidate& candidate : candidates) {
        if (m_start && m_start(candidate.program, candidate.arguments))
            return Status::success();
    }
    return Status::failure(sorry);
}

void showLaunchFailure(Dialogs& dialogs, const Status& launched) {
    if (!launched)
        dialogs.messageBox(launched.message(), MsgStyle::OkOnly + MsgStyle::Exclamation, "Sorry");
}

Status SystemLoader::Run_MSInfo() {
    return launch(systemInformationPrograms(),
                  "Cant find a system information program? Install one, for example the package "
                  "hardinfo or gnome-system-monitor.");
}

Status SystemLoader::Run_DXDiag() {
    return launch(
        graphicsDiagnosticsPrograms(),
        "Cant find a terminal to show the graphics information in? Install one, for example "
        "the package xterm; the information comes from glxinfo, in the package mesa-utils.");
}

Status SystemLoader::Open_Homepage() {
    return launch({{"xdg-open", {m_webAddress}}},
                  "Cant open the homepage? xdg-open, in the package xdg-utils, opens it in the "
                  "desktop's web browser: install it and a web browser.");
}

} // namespace vexo
