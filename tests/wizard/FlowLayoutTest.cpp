#include "wizard/ui/FlowLayout.h"

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const QRect& r, std::ostream* out) {
    *out << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace vexo::flow {
namespace {

// A text that needs `lines` lines of 10 pixels at a width of `wide` or more, twice as many where
// narrower.
std::function<int(int)> text(int lines, int wide = 0) {
    return [=](int width) { return (width < wide ? 2 * lines : lines) * 10; };
}

std::function<int(int)> caption(int width) {
    return [=](int) { return width; };
}

TEST(FlowLayout, TextsGrowToTheirLinesAndWhatStandsBelowMovesDown) {
    struct Row {
        const char* name;
        double fit;
        std::vector<Item> items;
        std::vector<QRect> placed;
        int bottom;
    };
    const std::vector<Row> rows{
        {"wrapping: three lines in a box of one push down what stands below, not what stands "
         "beside, and a hidden text neither grows nor pushes",
         1.0,
         {{{0, 0, 100, 10}, Fit::Text, true, text(3)},
          {{110, 0, 20, 20}, Fit::Picture},
          {{0, 20, 100, 10}, Fit::Text, false, text(5)},
          {{0, 20, 100, 10}}},
         {{0, 0, 100, 30}, {110, 0, 20, 20}, {0, 20, 100, 10}, {0, 40, 100, 10}},
         50},
        {"a caption that fits widens its button, and the text beside it moves right",
         1.0,
         {{{0, 0, 40, 20}, Fit::Box, true, nullptr, caption(60)},
          {{50, 0, 150, 20}, Fit::Text, true, text(3, 100), nullptr, 0, 10}},
         {{0, 0, 60, 20}, {70, 0, 130, 30}},
         30},
        {"a too-long word: the button takes the row to its end, and the text goes beneath it",
         1.0,
         {{{0, 0, 40, 20}, Fit::Box, true, nullptr, caption(500)},
          {{50, 0, 150, 20}, Fit::Text, true, text(3, 100), nullptr, 0, 10}},
         {{0, 0, 200, 20}, {20, 31, 180, 30}},
         61},
        {"an empty text keeps its box and moves nothing",
         1.0,
         {{{0, 0, 100, 20}, Fit::Text, true, text(0)}, {{0, 30, 100, 10}}},
         {{0, 0, 100, 20}, {0, 30, 100, 10}},
         40},
        {"scale: at half the design's size boxes shrink, pictures keep their size",
         0.5,
         {{{100, 100, 200, 50}, Fit::Text, true, text(1)}, {{100, 200, 40, 40}, Fit::Picture}},
         {{50, 50, 100, 25}, {50, 100, 40, 40}},
         140},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Placement placement = layOut(row.items, row.fit);
        EXPECT_EQ(placement.boxes, row.placed);
        EXPECT_EQ(placement.bottom, row.bottom);
    }
}

} // namespace
} // namespace vexo::flow
