#include "LinuxSecondsClock.h"

#include <ctime>

namespace vexo {

LinuxSecondsClock::LinuxSecondsClock() {
    beginRun();
}

void LinuxSecondsClock::beginRun() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    m_wall.setUtcOffset(localtime_r(&now, &local) ? local.tm_gmtoff : 0);
}

} // namespace vexo
