#pragma once

#include "common/Status.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vexo {

// The processor's identification. Every call asks the processor again.
class ProcessorQuery {
public:
    virtual ~ProcessorQuery() = default;
    // The low 16 bits of the identification signature: stepping (bits 0-3), model (4-7),
    // family (8-11), processor type (12-13). 0 when the processor cannot say.
    virtual std::uint16_t signature() = 0;
    // The processor family as the vendor defines it (extended family included).
    virtual std::int32_t family() = 0;
    // Feature flags: bit 0 floating-point unit, bit 23 MMX. 0 when unknown.
    virtual std::uint32_t features() = 0;
    // The processor clock in whole MHz, measured now; may take up to about 100 ms.
    virtual std::int32_t normalisedSpeedMHz() = 0;
};

struct MemoryStatus {
    std::uint32_t loadPercent = 0; // physical memory in use
    std::uint64_t totalPhysical = 0;
    std::uint64_t availablePhysical = 0;
    std::uint64_t availablePageFile = 0; // memory that can still be committed
};

class MemoryQuery {
public:
    virtual ~MemoryQuery() = default;
    virtual MemoryStatus memoryStatus() = 0;
};

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
    // The system's own name for itself. Absent where only the version numbers are known.
    std::optional<std::string> name;
};

class OsQuery {
public:
    virtual ~OsQuery() = default;
    // The version, or why the system could not be asked.
    virtual Result<OsVersion> version() = 0;
};

struct GraphicsAdapter {
    std::string description;
    std::uint64_t videoMemoryBytes = 0; // 0 when unknown
};

class GraphicsQuery {
public:
    virtual ~GraphicsQuery() = default;
    // Never fails: a machine without a usable adapter gets a plain description and 0 bytes.
    virtual GraphicsAdapter adapter() = 0;
};

} // namespace vexo
