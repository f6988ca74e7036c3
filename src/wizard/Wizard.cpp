#include "Wizard.h"

#include "common/Direct3DOptions.h"

#include <charconv>

namespace vexo {

namespace {
constexpr int kResolutionCaption = 40;
constexpr int kDepthCaption = 41;
constexpr int kTextureCaption = 42;
} // namespace

const std::array<const char*, 8>& Wizard::checkCaptions() {
    static const std::array<const char*, 8> captions{
        "&CPU Benchmark (Central Proccessing Unit)",
        "&FPU Benchmark (Floating Point Unit)",
        "&Direct3D Benchmark (Requires DirectX7 or Higher)",
        "&Spreadsheet Application Benchmark (Emulation)",
        "B&usiness Application Benchmark (Emulation)",
        "&Imaging Application Benchmark (Emulation)",
        "&Software Benchmark Options",
        "Har&dware Benchmark Options"};
    return captions;
}

const std::array<const char*, 5>& Wizard::optionCaptions() {
    static const std::array<const char*, 5> captions{
        "Perform a New &Custom Benchmark", "&Perform a New Complete Benchmark",
        "&Load an old/saved benchmark and compare it to other computers",
        "Open the &result browser", "&Visit the VexoGAUGE 2002 Homepage"};
    return captions;
}

Wizard::Wizard(AppState& state, SettingsStore& settings)
    : m_state(state)
    , m_settings(settings) {
    m_elements.CheckImage.fill(WizardPicture::NotChecked);
    m_elements.OptionImage.fill(WizardPicture::OptionNotSelected);
    for (std::size_t i = 0; i < kButtonPictures.size(); ++i)
        m_elements.ButtonImage[i] = kButtonPictures[i].released;
    for (std::size_t i = 0; i < kInitialOptionCaptions.size(); ++i)
        m_elements.FrameText[kResolutionCaption + i].caption = kInitialOptionCaptions[i];
    setStaticTexts();
}

void Wizard::Clear_Selections() {
    Selections& s = m_state.selections;
    for (Flag* flag :
         {&s.HardwareSelected, &s.SoftwareSelected, &s.CPUSelected, &s.FPUSelected,
          &s.Direct3DSelected, &s.SpreadsheetSelected, &s.BusinessSelected, &s.ImagingSelected})
        *flag = False;
}

Status Wizard::Load_DX_Settings() {
    bool allNumbers = true;
    auto read = [&](const char* key) -> std::int16_t {
        const std::string text = m_settings.get(kSettingsApplication, "DXSetup", key, "0");
        std::int16_t value = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
            allNumbers = false;
            return 0;
        }
        return value;
    };
    Selections& s = m_state.selections;
    s.ScreenResolution = read("DXRez");
    s.ScreenColorDepth = read("DXCol");
    s.TextureQuality = read("DXTex");
    if (!allNumbers)
        return Status::failure("a stored Direct3D option was not a number; its default is used");
    return Status::success();
}

void Wizard::Select_Option(int index) {
    m_elements.OptionImage.fill(WizardPicture::OptionNotSelected);
    if (index < 0 || index >= 5)
        return;
    m_mainMenuChoice = static_cast<std::int16_t>(index);
    m_elements.OptionImage[static_cast<std::size_t>(index)] = WizardPicture::OptionSelected;
}

Flag& Wizard::flagOf(int check) {
    Selections& s = m_state.selections;
    switch (check) {
    case 0:
        return s.CPUSelected;
    case 1:
        return s.FPUSelected;
    case 2:
        return s.Direct3DSelected;
    case 3:
        return s.SpreadsheetSelected;
    case 4:
        return s.BusinessSelected;
    case 5:
        return s.ImagingSelected;
    case 6:
        return s.SoftwareSelected;
    default:
        return s.HardwareSelected;
    }
}

void Wizard::Toggle_Check(int index) {
    if (index < 0 || index >= 8)
        return;
    Flag& flag = flagOf(index);
    const bool wasSet = flag != False;
    flag = wasSet ? False : True;
    m_elements.CheckImage[static_cast<std::size_t>(index)] =
        wasSet ? WizardPicture::NotChecked : WizardPicture::Checked;
    Check_Next_Button(index >= 6 ? "MUChk" : index <= 2 ? "HWChk" : "SWChk");
}

void Wizard::Check_Next_Button(const std::string& group) {
    const Selections& s = m_state.selections;
    bool show = false;
    if (group == "HWChk")
        show = isSet(s.CPUSelected) || isSet(s.FPUSelected) || isSet(s.Direct3DSelected);
    else if (group == "SWChk")
        show =
            isSet(s.SpreadsheetSelected) || isSet(s.BusinessSelected) || isSet(s.ImagingSelected);
    else if (group == "MUChk")
        show = isSet(s.SoftwareSelected) || isSet(s.HardwareSelected);
    m_elements.ButtonVisible[NextButton] = show;
}

void Wizard::Change_DX_Option(int index) {
    Selections& s = m_state.selections;
    // Each direction wraps only at its own end, so a stored value out of range is stepped
    // towards the range until it meets it.
    auto step = [](std::int16_t& value, int by, int last) {
        value = static_cast<std::int16_t>(value + by);
        if (by < 0 && value == -1)
            value = static_cast<std::int16_t>(last);
        else if (by > 0 && value == last + 1)
            value = 0;
    };
    switch (index) {
    case 0:
        step(s.ScreenResolution, -1, 4);
        break;
    case 1:
        step(s.ScreenResolution, +1, 4);
        break;
    case 2:
        step(s.ScreenColorDepth, -1, 2);
        break;
    case 3:
        step(s.ScreenColorDepth, +1, 2);
        break;
    case 4:
        step(s.TextureQuality, -1, 2);
        break;
    case 5:
        step(s.TextureQuality, +1, 2);
        break;
    default:
        break;
    }
    // A value with no caption leaves its caption as it was.
    auto refresh = [this](int element, const auto& table, std::int16_t value) {
        if (value >= 0 && static_cast<std::size_t>(value) < table.size())
            m_elements.FrameText[static_cast<std::size_t>(element)].caption =
                table[static_cast<std::size_t>(value)];
    };
    refresh(kResolutionCaption, kResolutionCaptions, s.ScreenResolution);
    refresh(kDepthCaption, kColorDepthCaptions, s.ScreenColorDepth);
    refresh(kTextureCaption, kTextureCaptions, s.TextureQuality);
}

void Wizard::setLine(Line line, const std::string& text) {
    m_elements.FrameText[static_cast<std::size_t>(kFirstRunLine + line)].caption = text;
    call(commands.runPageChanged);
}

void Wizard::setBenchImage(int group, int pictureNumber) {
    if (group < 0 || group >= static_cast<int>(m_elements.BenchImage.size()))
        return;
    m_elements.BenchImage[static_cast<std::size_t>(group)] = pictureNumber;
    call(commands.runPageChanged);
}

void Wizard::Show_Bench_Selection() {
    for (int group = 0; group < 6; ++group)
        m_elements.BenchImage[static_cast<std::size_t>(group)] =
            isSet(flagOf(group)) ? WizardPicture::GroupWillRun : WizardPicture::GroupWillNotRun;
}

} // namespace vexo
