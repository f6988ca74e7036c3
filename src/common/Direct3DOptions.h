#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vexo {

// Captions of the Direct3D options by index.
inline constexpr std::array<const char*, 5> kResolutionCaptions{"640x480", "800x600", "1024x768",
                                                                "1280x1024", "1600x1200"};
inline constexpr std::array<const char*, 3> kColorDepthCaptions{"16 Bit", "24 Bit", "32 Bit"};
inline constexpr std::array<const char*, 3> kTextureCaptions{"Low", "Medium", "High"};

// What the option captions show before they are first set from the options.
inline constexpr std::array<const char*, 3> kInitialOptionCaptions{"640x480", "16 bit", "High"};

// The three captions (resolution, colour depth, texture quality) for the given indices; an
// index outside its table keeps the initial caption.
inline std::array<std::string, 3> direct3DCaptions(std::int16_t resolution, std::int16_t depth,
                                                   std::int16_t texture) {
    auto pick = [](const auto& table, std::int16_t index, const char* initial) {
        return std::string(index >= 0 && static_cast<std::size_t>(index) < table.size()
                               ? table[static_cast<std::size_t>(index)]
                               : initial);
    };
    return {pick(kResolutionCaptions, resolution, kInitialOptionCaptions[0]),
            pick(kColorDepthCaptions, depth, kInitialOptionCaptions[1]),
            pick(kTextureCaptions, texture, kInitialOptionCaptions[2])};
}

} // namespace vexo
