#pragma once

#include <string>

namespace vexo {

// The engine's output port: what a run shows while it goes, as four named lines and one
// picture per benchmark group. The wizard's run page, the terminal and test recorders
// implement it, each showing the lines its own way.
class RunPageView {
public:
    enum Line { StatusLine, ProgressLine, EstimateLine, DescriptionLine };
    static constexpr int kLineCount = 4;

    // Picture numbers (1-based, in the wizard's picture list) of a group's state.
    static constexpr int GroupDonePicture = 20;
    // A group that did not run, or was skipped: no longer pending.
    static constexpr int GroupNotRunPicture = 21;

    virtual ~RunPageView() = default;

    virtual void setLine(Line line, const std::string& text) = 0;

    // Sets the picture of a group (0 CPU, 1 FPU, 2 Direct3D, 3 Spreadsheet, 4 Business,
    // 5 Imaging) to a picture of the wizard's picture list.
    virtual void setBenchImage(int group, int pictureNumber) = 0;

    // Told just before a measurement window of the given length starts waiting for its
    // first second boundary. Nothing may be shown once the window runs, so a view that shows
    // progress draws it here.
    virtual void measurementStarting(int seconds) { (void)seconds; }

    // Told before each pass over the chosen phases of a run repeated n times (k from 1).
    virtual void repetitionStarting(int k, int n) {
        (void)k;
        (void)n;
    }
};

} // namespace vexo
