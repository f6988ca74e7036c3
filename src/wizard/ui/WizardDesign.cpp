#include "WizardDesign.h"

namespace vexo::design {

namespace {

constexpr int kMargin = 24;
constexpr int kContentWidth = kWidth - 2 * kMargin; // 592
constexpr int kRight = kMargin + kContentWidth;
constexpr int kHeadingTop = 76;
constexpr int kHeadingHeight = 24;
constexpr int kButtonHeight = 30;
constexpr int kMark = 20; // an option's or a check box's picture
constexpr int kCaptionHeight = 22;

// A page's rows: the first one's top and the pitch from one to the next.
struct Rows {
    int first, pitch;
    constexpr int top(std::size_t row) const { return first + static_cast<int>(row) * pitch; }
};

} // namespace

std::vector<Placed> designLayout() {
    std::vector<Placed> l;
    auto text = [&](std::size_t i, QRect b) { l.push_back({Part::FrameText, i, b}); };
    auto heading = [&](std::size_t i, int height = kHeadingHeight, int width = kContentWidth) {
        text(i, {kMargin, kHeadingTop, width, height});
    };
    auto at = [&](Part part, std::size_t i, QRect b) { l.push_back({part, i, b}); };

    // The frame: title band, footer hint, Help, Back and Next along the foot.
    at(Part::PageTitle, 0, {20, 8, 560, 22});
    at(Part::PageTitle, 1, kSubtitle);
    at(Part::PermanentText, 0, {20, kButtonRowTop, 266, kFooterHeight});
    at(Part::Button, 5, {292, kButtonRowTop, 100, kButtonHeight});
    at(Part::Button, 1, {400, kButtonRowTop, 108, kButtonHeight});
    at(Part::Button, 0, {516, kButtonRowTop, 108, kButtonHeight});

    // Welcome: three paragraphs, the last with the two links.
    text(0, {kMargin, 80, kContentWidth, 110});
    text(1, {kMargin, 195, kContentWidth, 130});
    text(2, {kMargin, 325, kContentWidth, 80});

    // Main menu: five options, each a caption with a line beneath.
    heading(33);
    constexpr Rows options{104, 60};
    for (std::size_t i = 0; i < 5; ++i) {
        const int top = options.top(i);
        at(Part::OptionImage, i, {40, top + 2, kMark, kMark});
        at(Part::OptionText, i, {66, top, 540, kCaptionHeight});
        text(34 + i, {66, top + 24, 540, 34});
    }

    // Customize: software and hardware, each a picture with a check box and its text beside.
    heading(3);
    constexpr Rows groups{100, 132};
    for (std::size_t i = 0; i < 2; ++i) {
        const int top = groups.top(i);
        at(Part::FrameImage, i, {40, top, 120, 120});
        at(Part::CheckImage, 6 + i, {170, top + 12, kMark, kMark});
        at(Part::CheckText, 6 + i, {198, top + 12, kRight - 198, kCaptionHeight});
        text(4 + i, {200, top + 40, 410, 80});
    }

    // Hardware and software: three check boxes, each with a description beneath (the software
    // page's descriptions stand in reverse order of their indices).
    heading(6);
    heading(13);
    constexpr Rows benchmarks{110, 96};
    for (std::size_t row = 0; row < 3; ++row) {
        const int top = benchmarks.top(row);
        for (const std::size_t check : {row, 3 + row}) {
            at(Part::CheckImage, check, {40, top, kMark, kMark});
            at(Part::CheckText, check, {68, top, kRight - 68, kCaptionHeight});
        }
        text(7 + row, {66, top + 24, 540, 60});
        text(12 - row, {66, top + 24, 540, 60});
    }

    // Direct3D: three rows of caption, value between arrows; notes beneath; picture at right.
    heading(39, 44, 400);
    constexpr Rows settings{136, 44};
    for (std::size_t row = 0; row < 3; ++row) {
        const int top = settings.top(row);
        text(43 + row, {kMargin, top, 176, 24});
        at(Part::LRButton, 2 * row, {204, top + 1, 22, 22});
        text(40 + row, {232, top, 112, 24});
        at(Part::LRButton, 2 * row + 1, {348, top + 1, 22, 22});
    }
    text(46, {kMargin, 276, 410, 70});
    text(47, {kMargin, 346, 410, 36});
    text(48, {kMargin, 382, kContentWidth, 50});
    at(Part::FrameImage, 4, {456, 96, 160, 200});

    // System information: a rule under the heading, two columns.
    heading(49);
    at(Part::FrameLine, 2, {kMargin, 100, kContentWidth, 2});
    text(50, {40, 108, 180, 330});
    text(51, {220, 108, 396, 330});

    // Tool box: three tool buttons, each with its text beside.
    heading(14, 40);
    constexpr Rows tools{124, 80};
    for (std::size_t i = 0; i < 3; ++i) {
        const int top = tools.top(i);
        at(Part::Button, 2 + i, {kMargin, top + 6, 300, 34});
        l.push_back({Part::FrameText, 15 + i, {336, top, 280, 70}, l.size() - 1});
    }

    // Ready: three numbered paragraphs.
    heading(18, 40);
    constexpr Rows steps{122, 98};
    for (std::size_t i = 0; i < 3; ++i) {
        const int top = steps.top(i);
        at(Part::OrderedImage, i, {36, top + 2, 36, 36});
        text(19 + i, {84, top, 532, 92});
    }

    // The run: its lines (the status may take two lines, the description four), a rule, the
    // six groups with their pictures; the run picture with the progress at right.
    heading(22, 22, 410);
    text(23, {kMargin, 100, 420, 30});
    text(24, {kMargin, 130, 420, 20});
    text(25, {kMargin, 150, 420, 20});
    text(26, {kMargin, 170, 420, 58});
    at(Part::FrameLine, 0, {kMargin, 230, 420, 2});
    constexpr Rows groupList{240, 28};
    for (std::size_t i = 0; i < 6; ++i) {
        const int top = groupList.top(i);
        at(Part::BenchImage, i, {28, top - 1, 24, 24});
        text(27 + i, {60, top, 380, 22});
    }
    at(Part::FrameImage, 2, {456, 100, 160, 200});
    at(Part::Progress, 0, {456, 310, 160, 12});
    at(Part::ProgressText, 0, {456, 326, 160, 20});
    at(Part::FrameLine, 1, {kMargin, 416, kContentWidth, 2});

    // Score card: where the file went, the throttling, the scores, between two rules.
    heading(52);
    at(Part::FrameLine, 3, {kMargin, 100, kContentWidth, 2});
    text(53, {kMargin, 108, kContentWidth, 22});
    text(54, {kMargin, 140, kContentWidth, 22});
    text(55, {kMargin, 172, kContentWidth, 240});
    at(Part::FrameLine, 4, {kMargin, 416, kContentWidth, 2});
    return l;
}

} // namespace vexo::design
