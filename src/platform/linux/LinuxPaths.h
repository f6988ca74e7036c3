#pragma once

#include <string>

namespace vexo {

// The folder of the installation files, ending in '/': the executable's folder when a data/
// folder lies beside it (a build tree), else the installed share folder.
std::string appFolder();

// Where the program writes its own files, ending in '/'. A build tree (the installation files
// beside the executable) keeps them in its own folder when it can be written; an installed
// program, run by root or not, writes only under $XDG_DATA_HOME/vexogauge/
// (~/.local/share/vexogauge/), created on demand, so that uninstalling leaves nothing behind.
std::string resultsFolder(const std::string& appFolder);

// The same rule for given places: the executable's folder (ending in '/') and the values of
// XDG_DATA_HOME and HOME (null when unset).
std::string resultsFolderFor(const std::string& appFolder, const std::string& executableFolder,
                             const char* dataHome, const char* home);

} // namespace vexo
