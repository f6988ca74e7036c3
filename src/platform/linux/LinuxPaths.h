#pragma once

#include <string>

namespace vexo {

// The folder of the installation files, ending in '/': the executable's folder when a data/
// folder lies beside it (a build tree), else the installed share folder.
std::string appFolder();

// Where the program writes its own files, ending in '/': the installation folder when it can
// be written, else $XDG_DATA_HOME/vexogauge/ (~/.local/share/vexogauge/), created on demand.
std::string resultsFolder(const std::string& appFolder);

} // namespace vexo
