#pragma once

#include <iosfwd>

namespace vexo {

class SystemInfo;

// Prints the system page as two aligned columns, or with json the fourteen values by key.
void printSystemInfo(SystemInfo& info, bool json, std::ostream& out);

} // namespace vexo
