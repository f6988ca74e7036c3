#pragma once

#include <string>

namespace vexo {

// The folder of the installation files, ending in '/': the executable's folder when a data/
// folder lies beside it (a build tree), else the installed share folder.
std::string appFolder();

} // namespace vexo
