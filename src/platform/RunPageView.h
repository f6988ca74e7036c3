#pragma once

#include <string>

namespace vexo {

// The wizard's run page as the benchmark engine sees it: four text lines and one picture per
// benchmark group.
class RunPageView {
public:
    // Indices of the run page's text lines in the wizard's FrameText array.
    static constexpr int StatusLine = 23;
    static constexpr int ProgressLine = 24;
    static constexpr int EstimateLine = 25;
    static constexpr int DescriptionLine = 26;

    // Picture number (1-based, in the wizard's picture list) that marks a group done.
    static constexpr int GroupDonePicture = 20;

    virtual ~RunPageView() = default;

    virtual void setFrameText(int index, const std::string& text) = 0;

    // Sets BenchImage(group) (0 CPU, 1 FPU, 2 Direct3D, 3 Spreadsheet, 4 Business,
    // 5 Imaging) to a picture of the wizard's picture list.
    virtual void setBenchImage(int group, int pictureNumber) = 0;

    // Told just before a measurement window of the given length starts waiting for its
    // first second boundary. Nothing may be shown once the window runs, so a view that shows
    // progress draws it here.
    virtual void measurementStarting(int seconds) { (void)seconds; }
};

} // namespace vexo
