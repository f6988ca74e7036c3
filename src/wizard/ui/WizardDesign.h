#pragma once

#include <QRect>
#include <cstddef>
#include <optional>
#include <vector>

namespace vexo::design {

// The window's design: every page on the 640 by 480 background, its content between margins of
// 24 and its heading on one line under the title band, the buttons along the foot.
inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;
inline constexpr int kButtonRowTop = 446;
inline constexpr int kFooterHeight = 32; // the footer hint's two lines, left of the buttons
inline constexpr QRect kSubtitle{20, 31, 570, 32};
// The background picture's bands: the title band ends below its line, the footer band begins
// with its line.
inline constexpr int kBandLineTop = 63; // a row of the band's own colour above the line
inline constexpr int kBandBottom = 66;
inline constexpr int kFooterBandTop = 440;

// The kinds of element the window places, each an array of the wizard's elements.
enum class Part {
    FrameText,
    Button,
    OptionImage,
    OptionText,
    CheckImage,
    CheckText,
    LRButton,
    BenchImage,
    OrderedImage,
    FrameImage,
    FrameLine,
    PageTitle,
    PermanentText,
    Progress,
    ProgressText,
};
inline constexpr std::size_t kPartCount = 15;

// Where element `index` of a kind stands at the normal font.
struct Placed {
    Part part;
    std::size_t index;
    QRect box;
    // The picture button this element stands right of (its place in the design): where its
    // caption needs more room than its box at a large font, the button widens and the element
    // moves right.
    std::optional<std::size_t> besideButton = std::nullopt;
};

// Where every element stands at the normal font, the frame first and then page by page; each
// element belongs to one of them.
std::vector<Placed> designLayout();

} // namespace vexo::design
