#include "LinuxSecondsClock.h"

namespace vexo {

LinuxSecondsClock::LinuxSecondsClock() {
    beginRun();
}

void LinuxSecondsClock::beginRun() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    m_offset = localtime_r(&now, &local) ? local.tm_gmtoff : 0;
    m_lastRaw = -1;
}

std::int16_t LinuxSecondsClock::fieldOf(std::time_t now) const {
    const long long field = (static_cast<long long>(now) + m_offset) % 60;
    return static_cast<std::int16_t>(field < 0 ? field + 60 : field);
}

} // namespace vexo
