#pragma once

#include "common/Status.h"
#include "platform/Dialogs.h"

#include <functional>
#include <string>
#include <vector>

namespace vexo {

// Starts a program by name (looked up on the search path) or path with its arguments, without
// waiting for it. False when it could not be started.
using CommandStarter =
    std::function<bool(const std::string& program, const std::vector<std::string>& arguments)>;

// The tool box's launches. On Linux each looks for the counterpart of its tool among a fixed list
// of programs, in order, and starts the first that starts; when none does, it fails with the
// "Sorry" message, which the program shows (showLaunchFailure).
class SystemLoader {
public:
    struct Candidate {
        std::string program;
        std::vector<std::string> arguments;
    };

    SystemLoader(CommandStarter start, std::string webAddress);

    // A system information program.
    Status Run_MSInfo();
    // A graphics diagnostics program.
    Status Run_DXDiag();
    // The web browser at the maker's web address.
    Status Open_Homepage();

    static const std::vector<Candidate>& systemInformationPrograms();
    static const std::vector<Candidate>& graphicsDiagnosticsPrograms();

private:
    Status launch(const std::vector<Candidate>& candidates, const char* sorry);

    CommandStarter m_start;
    std::string m_webAddress;
};

// Tells a launch that failed in a box titled "Sorry", with an OK button and the exclamation
// icon; a launch that succeeded shows nothing.
void showLaunchFailure(Dialogs& dialogs, const Status& launched);

} // namespace vexo
