#pragma once

#include "common/AppState.h"
#include "common/Status.h"
#include "engine/RunPageView.h"
#include "platform/SettingsStore.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

namespace vexo {

// One caption element of the wizard window.
struct WizardText {
    std::string caption;
    bool visible = false;
};

// The wizard's elements as the program sees them, by control-array index: what each shows is
// set here and only rendered by the window.
struct WizardElements {
    std::array<WizardText, 56> FrameText;
    std::array<int, 8> CheckImage{};  // PictureLoader numbers
    std::array<int, 5> OptionImage{}; // PictureLoader numbers
    std::array<int, 6> BenchImage{};  // PictureLoader numbers
    std::array<int, 6> ButtonImage{}; // PictureLoader numbers of the six picture buttons
    std::array<bool, 6> ButtonVisible{true, true, true, true, true, true};
    std::array<std::string, 6> ButtonText{"&Next",
                                          "&Back",
                                          "A&TM (Advanced Task Manager)",
                                          "Direct&X Diagnostics",
                                          "Microsoft \xC2\xAE &Windows System Infomation",
                                          "&Help"};
    std::array<bool, 5> OptionVisible{};
    std::array<bool, 8> CheckVisible{};
    std::array<bool, 6> BenchVisible{};
    std::array<bool, 3> OrderedVisible{};
    std::array<bool, 5> FrameLineVisible{};
    std::array<bool, 2> LinkVisible{};
    std::array<bool, 2> LinkUnderlined{}; // at most one, while the pointer is over it
    std::array<bool, 6> LRButtonVisible{};
    std::array<bool, 5> FrameImageVisible{false, false, false, true, false};
    std::array<std::string, 2> PageTitle;
    std::string PermanentText;
    std::string windowTitle = "Kestrovia VexoGAUGE 2002 Edition";
    bool windowEnabled = true;
    bool hourglass = false;
};

// Pictures of the wizard's picture list (by number).
namespace WizardPicture {
inline constexpr int OptionSelected = 5;
inline constexpr int OptionNotSelected = 6;
inline constexpr int Checked = 10;
inline constexpr int NotChecked = 11;
inline constexpr int GroupWillNotRun = 21;
inline constexpr int GroupWillRun = 22;
} // namespace WizardPicture

// What the wizard's pages start outside themselves; the composition root connects them.
struct WizardCommands {
    std::function<void()> showResultBrowser; // shows the browser and hides the wizard
    std::function<void()> loadInResultBrowser;
    std::function<void()> openHomepage;
    std::function<void()> showTaskManager;
    std::function<void()> runDirectXDiagnostics;
    std::function<void()> runSystemInformation;
    std::function<void()> showHelp;
    std::function<void()> yield;
    // The four engine calls of a run, each to completion.
    std::function<void()> runBenchmark;
    // The run page changed during a run (a line or a group's picture): the window shows it
    // now, as the run yields only at its own points.
    std::function<void()> runPageChanged;
};

// The wizard's pages and choices: the main-menu option, the eight benchmark check boxes and the
// three Direct3D options, with the rule that shows Next only when a page has a selection. It is
// also the run page the engine reports to.
class Wizard final : public RunPageView {
public:
    // The pages in the order Next takes them. ResultBrowser is no page of its own: it opens the
    // result browser and returns to the main menu.
    enum class Page : std::int16_t {
        Welcome = 1,
        MainMenu,
        Customize,
        Hardware,
        Software,
        Direct3D,
        SystemInformation,
        ToolBox,
        Ready,
        Run,
        ScoreCard,
        ResultBrowser,
    };

    static constexpr int NextButton = 0;
    // The pictures of the six picture buttons (Next, Back, the three tools, Help), released
    // and pressed; the buttons start released.
    struct ButtonPictures {
        int released, pressed;
    };
    static constexpr std::array<ButtonPictures, 6> kButtonPictures{
        {{1, 2}, {3, 4}, {12, 13}, {14, 15}, {16, 17}, {23, 24}}};

    Wizard(AppState& state, SettingsStore& settings);

    WizardElements& elements() { return m_elements; }
    const WizardElements& elements() const { return m_elements; }
    std::int16_t MainMenuChoice() const { return m_mainMenuChoice; }

    void Clear_Selections();
    // Reads the three Direct3D options; a stored value that is not a whole number falls back to
    // 0 (a failure says so), one out of range is kept as it is.
    Status Load_DX_Settings();

    void Select_Option(int index);
    void Toggle_Check(int index);
    void Check_Next_Button(const std::string& group);
    void Change_DX_Option(int index);
    void Show_Bench_Selection();

    // Pages.
    Page CurrentPage() const { return m_currentPage; }
    void setCurrentPage(Page page) { m_currentPage = page; }
    bool CompleteBenchmark() const { return m_completeBenchmark; }
    void Hide_All_Pages();
    void Change_Page();
    void Button_Down(int index);
    void Button_Up(int index);
    void Handle_Key(char key);
    // A click on either link of the welcome page.
    void linkTextClick() { call(commands.openHomepage); }
    // The pointer moved over link `index`: it is underlined unless the other one still is.
    void Highlight_Link(int index);
    // The pointer moved over the window or one of its texts: no link is underlined.
    void Clear_Link_Highlight();
    void Show_Score_Card();
    // The contact text of the welcome page (FrameText 2).
    void Set_Credits_Text();

    // RunPageView: the run's lines are FrameText 23 to 26, its groups the BenchImage pictures.
    void setLine(Line line, const std::string& text) override;
    void setBenchImage(int group, int pictureNumber) override;
    static constexpr int kFirstRunLine = 23;

    WizardCommands commands;

    // The captions of the eight check boxes and five main-menu options.
    static const std::array<const char*, 8>& checkCaptions();
    static const std::array<const char*, 5>& optionCaptions();

private:
    Flag& flagOf(int check);

    void setStaticTexts();
    // FrameText 53: where the run's file was saved, or why it was not.
    void setSavedFileText();
    void setTexts(const char* title, const char* subtitle, const char* footer);
    void show(std::initializer_list<int> frameTexts);
    void showNextAndBack();
    static void call(const std::function<void()>& f) {
        if (f)
            f();
    }

    AppState& m_state;
    SettingsStore& m_settings;
    WizardElements m_elements;
    std::int16_t m_mainMenuChoice = 0;
    Page m_currentPage = Page::Welcome;
    bool m_completeBenchmark = false;
};

} // namespace vexo
