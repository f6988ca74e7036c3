#include "LinuxSystemQueries.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/utsname.h>

namespace vexo {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Calls f(key, value) for every "key<sep>value" line.
template <class F>
void forEachField(std::string_view content, char separator, F&& f) {
    while (!content.empty()) {
        const auto end = content.find('\n');
        const std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
        const auto at = line.find(separator);
        if (at != std::string_view::npos)
            f(trim(line.substr(0, at)), trim(line.substr(at + 1)));
    }
}

std::uint64_t leadingNumber(std::string_view text) {
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// An os-release value: bare, or in single or double quotes with backslash escapes.
std::string unquote(std::string_view value) {
    if (value.size() < 2 || (value.front() != '"' && value.front() != '\''))
        return std::string(value);
    const char quote = value.front();
    std::string out;
    for (std::size_t i = 1; i < value.size() && value[i] != quote; ++i) {
        if (value[i] == '\\' && quote == '"' && i + 1 < value.size())
            ++i;
        out += value[i];
    }
    return out;
}

} // namespace

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

MemoryStatus parseMeminfo(std::string_view content) {
    std::map<std::string, std::uint64_t, std::less<>> kib;
    forEachField(content, ':', [&](std::string_view key, std::string_view value) {
        kib[std::string(key)] = leadingNumber(value);
    });
    auto bytes = [&](std::string_view key) {
        const auto it = kib.find(key);
        return it == kib.end() ? 0 : it->second * 1024;
    };
    MemoryStatus status;
    status.totalPhysical = bytes("MemTotal");
    // Kernels before 3.14 do not estimate the available memory themselves.
    status.availablePhysical = kib.count("MemAvailable") != 0
                                   ? bytes("MemAvailable")
                                   : bytes("MemFree") + bytes("Buffers") + bytes("Cached");
    if (status.availablePhysical > status.totalPhysical)
        status.availablePhysical = status.totalPhysical;
    // What the system can still commit: the commit limit (swap plus the overcommit share of
    // physical memory) less what is committed already; never below 0, as overcommit allows.
    if (kib.count("CommitLimit") != 0) {
        const std::uint64_t limit = bytes("CommitLimit");
        const std::uint64_t committed = bytes("Committed_AS");
        status.availablePageFile = limit > committed ? limit - committed : 0;
    } else {
        status.availablePageFile = bytes("SwapFree");
    }
    if (status.totalPhysical != 0) {
        const std::uint64_t used = status.totalPhysical - status.availablePhysical;
        status.loadPercent = static_cast<std::uint32_t>((used * 100 + status.totalPhysical / 2) /
                                                        status.totalPhysical);
    }
    return status;
}

std::string parseOsReleaseName(std::string_view content) {
    std::string name;
    forEachField(content, '=', [&](std::string_view key, std::string_view value) {
        if (key == "PRETTY_NAME")
            name = unquote(value);
    });
    return name.empty() ? "Linux" : name;
}

OsVersion parseKernelRelease(std::string_view release) {
    std::uint32_t numbers[3] = {0, 0, 0};
    const char* p = release.data();
    const char* end = p + release.size();
    for (std::uint32_t& number : numbers) {
        const auto result = std::from_chars(p, end, number);
        if (result.ec != std::errc() || result.ptr == end || *result.ptr != '.') {
            break;
        }
        p = result.ptr + 1;
    }
    OsVersion version;
    version.major = numbers[0];
    version.minor = numbers[1];
    version.build = numbers[2];
    return version;
}

std::int32_t parseCpuinfoMHz(std::string_view content) {
    std::int32_t mhz = 0;
    bool found = false;
    forEachField(content, ':', [&](std::string_view key, std::string_view value) {
        if (found || key != "cpu MHz")
            return;
        double number = 0;
        std::from_chars(value.data(), value.data() + value.size(), number);
        mhz = static_cast<std::int32_t>(std::lround(number));
        found = true;
    });
    return mhz;
}

MemoryStatus LinuxMemory::memoryStatus() {
    return parseMeminfo(readTextFile("/proc/meminfo"));
}

Result<OsVersion> LinuxOs::version() {
    utsname names{};
    if (uname(&names) != 0)
        return Result<OsVersion>::failure(std::string("uname: ") + std::strerror(errno));
    OsVersion version = parseKernelRelease(names.release);
    std::string osRelease = readTextFile("/etc/os-release");
    if (osRelease.empty())
        osRelease = readTextFile("/usr/lib/os-release");
    version.name = parseOsReleaseName(osRelease);
    return version;
}

} // namespace vexo
