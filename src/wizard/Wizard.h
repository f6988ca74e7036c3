#pragma once

#include "common/AppState.h"
#include "platform/SettingsStore.h"

#include <array>
#include <cstdint>
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

// The wizard's choices: the main-menu option, the eight benchmark check boxes and the three
// Direct3D options, with the rule that shows Next only when a page has a selection.
class Wizard {
public:
    static constexpr int NextButton = 0;

    Wizard(AppState& state, SettingsStore& settings);

    WizardElements& elements() { return m_elements; }
    const WizardElements& elements() const { return m_elements; }
    std::int16_t MainMenuChoice() const { return m_mainMenuChoice; }

    void Clear_Selections();
    // Reads the three Direct3D options; a stored value that is not a whole number falls back to
    // 0 (and is reported by the return value), one out of range is kept as it is.
    bool Load_DX_Settings();

    void Select_Option(int index);
    void Toggle_Check(int index);
    void Check_Next_Button(const std::string& group);
    void Change_DX_Option(int index);
    void Show_Bench_Selection();

    // The captions of the eight check boxes and five main-menu options.
    static const std::array<const char*, 8>& checkCaptions();
    static const std::array<const char*, 5>& optionCaptions();

private:
    Flag& flagOf(int check);

    AppState& m_state;
    SettingsStore& m_settings;
    WizardElements m_elements;
    std::int16_t m_mainMenuChoice = 0;
};

} // namespace vexo
