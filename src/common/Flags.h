#pragma once

#include <cstdint>

namespace vexo {

// A 16-bit truth value: all bits set means true, 0 means false. Every test of a
// selection flag compares with True, so any other value reads as false.
using Flag = std::int16_t;
inline constexpr Flag True = -1;
inline constexpr Flag False = 0;

constexpr bool isSet(Flag flag) {
    return flag == True;
}

// What the user chose to run, written by the wizard's selection pages and read by the engine
// and the tunnel.
struct Selections {
    Flag HardwareSelected = False;
    Flag SoftwareSelected = False;
    Flag CPUSelected = False;
    Flag FPUSelected = False;
    Flag Direct3DSelected = False;
    Flag SpreadsheetSelected = False;
    Flag BusinessSelected = False;
    Flag ImagingSelected = False;

    // Direct3D options: indices into the resolution (0-4), colour depth (0-2) and texture
    // quality (0 low, 1 medium, 2 high) choices. Stored values outside those ranges are kept
    // as they are; their readers decide what to do with them.
    std::int16_t ScreenResolution = 0;
    std::int16_t ScreenColorDepth = 0;
    std::int16_t TextureQuality = 0;
};

} // namespace vexo
