#include "SystemLoader.h"

namespace vexo {

SystemLoader::SystemLoader(CommandStarter start, Dialogs& dialogs, std::string webAddress)
    : m_start(std::move(start))
    , m_dialogs(dialogs)
    , m_webAddress(std::move(webAddress)) {}

const std::vector<SystemLoader::Candidate>& SystemLoader::systemInformationPrograms() {
    static const std::vector<Candidate> programs{
        {"hardinfo2", {}}, {"hardinfo", {}}, {"kinfocenter", {}}, {"gnome-system-monitor", {}}};
    return programs;
}

const std::vector<SystemLoader::Candidate>& SystemLoader::graphicsDiagnosticsPrograms() {
    static const std::vector<Candidate> programs{
        {"glxgears", {"-info"}}, {"eglgears_x11", {}}, {"vkcube", {}}};
    return programs;
}

void SystemLoader::launch(const std::vector<Candidate>& candidates, const char* sorry) {
    for (const Candidate& candidate : candidates) {
        if (m_start && m_start(candidate.program, candidate.arguments))
            return;
    }
    m_dialogs.messageBox(sorry, MsgStyle::OkOnly + MsgStyle::Exclamation, "Sorry");
}

void SystemLoader::Run_MSInfo() {
    launch(systemInformationPrograms(),
           "Cant find Msinfo32? Try manually locating it via the start menu or windows explorer?");
}

void SystemLoader::Run_DXDiag() {
    launch(graphicsDiagnosticsPrograms(),
           "Cant find DXDiag? Try manually locating it via the start menu or windows explorer?");
}

void SystemLoader::Open_Homepage() {
    launch({{"xdg-open", {m_webAddress}}},
           "Cant find IExplore? Try manually locating it via the start menu or windows explorer?");
}

} // namespace vexo
