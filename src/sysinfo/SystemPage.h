#pragma once

#include "sysinfo/SystemInfo.h"

#include <string>

namespace vexo {

// The two columns of the system information page, line for line, joined by carriage returns.
struct SystemPageTexts {
    std::string labels; // FrameText(50)
    std::string values; // FrameText(51)
};

SystemPageTexts Show_System_Info(SystemInfo& info);

} // namespace vexo
