#pragma once

#include <QRect>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace vexo::flow {

// How an element's box follows its font and a window smaller than the design.
enum class Fit {
    Box,     // scaled with the window
    Text,    // scaled with the window, and as tall as its text needs at its width
    Picture, // moved with the window, its size kept: a picture is not cut
};

// One element where the design places it, at the normal font.
struct Item {
    QRect design;
    Fit fit = Fit::Box;
    bool shown = true;
    // A text: the height it needs at a width.
    std::function<int(int width)> heightFor = nullptr;
    // A picture button: the width that shows its whole caption at a height.
    std::function<int(int height)> widthFor = nullptr;
    // A text that stands right of a picture button (the index of the button's item), and the
    // height of its lines.
    std::optional<std::size_t> besideButton = std::nullopt;
    int lineHeight = 0;
};

struct Placement {
    std::vector<QRect> boxes; // each item's, in the order given
    int bottom = 0;           // just below the lowest item shown
};

// Places the items of a page top to bottom, in a window `fit` times the design's size (at most
// 1). A shown text is as tall as it needs at its width, at least its box; whatever is shown below
// a text that grew moves down by as much, so a page keeps its order at any font. A picture
// button is as wide as its caption needs, up to the right edge of the text beside it, which moves
// right; where the text would then need more than four lines, it stands beneath the button
// instead, across the rest of the row. Hidden items keep their fitted boxes and move nothing.
Placement layOut(const std::vector<Item>& items, double fit);

} // namespace vexo::flow
