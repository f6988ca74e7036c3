// The wizard's page machine: which elements each page shows, its texts, and how Next, Back,
// the keyboard and the main-menu choice move between pages.
#include "Wizard.h"
#include "common/Text.h"
#include "results/ScoreCard.h"
#include "wizard/ExitQuestion.h"

namespace vexo {

namespace {

// The page `by` pages after (or, negative, before) `page`.
Wizard::Page step(Wizard::Page page, int by) {
    return static_cast<Wizard::Page>(static_cast<int>(page) + by);
}

// The fixed captions of FrameText; the others are set at run time.
const std::array<std::pair<int, const char*>, 47>& staticTexts() {
    static const std::array<std::pair<int, const char*>, 47> texts{{
        {0, "VexoGAUGE 2002 Edition has been made with only the finest ingredients to produce the "
            "most versatile and innovative benchmarking system the world has ever seen! Combining "
            "different technologies we developed in previous versions of VexoGAUGE to generate a "
            "wealth of interesting and educational system benchmarks, Relating to many different "
            "hardware and software subsystems ..."},
        {1, "Its always been VexoGAUGEs main task to provide benchmark scores relating to the true "
            "performance of your computer, not from the hardware's point-of-view, but rather from "
            "the software's perspective. It is an enduring fact that applications receive only a "
            "small portion of the processor timeslices, even though a faster processor or memory "
            "subsystem makes a big difference to application performance, the operating system "
            "and TSR subsystems are often the determining factor as to the true performance you "
            "applications receive."},
        {3, "What kind of benchmark(s) would you like to perform?"},
        {4, "Selecting software benchmarks give you the option to benchmark your many aspects of "
            "your system software under many different situations, these situation include a "
            "spreadsheet benchmark, a business application benchmark or imaging application "
            "benchmark."},
        {5, "Selecting hardware benchmarks give you many of the classic benchmark types to perform "
            "on specific subsystems in you machine, these include CPU, FPU and Direct3D "
            "benchmarks."},
        {6, "Select which hardware components and sub-systems you would like to benchmark?"},
        {7, "This benchmark will perform 2 CPU tests, one will be orientated towards your Cache "
            "Memory and Front-Side-Bus speed, and the other will be orientated towards you RAM and "
            "Chipset."},
        {8, "This benchmark will also perform 2 FPU tests, one will test SPFPC (Single Pricision "
            "Floating Point Calculations and the other will test your CPUs Integer manipulation "
            "ability."},
        {9, "Selecting this option will perform a complex 3D hardware accelerated benchmark, the "
            "scores will be returned in FPS (frames-per-second). A 16mb AGP Graphics Card is "
            "reccommended."},
        {10, "This benchmark emulates many of the calculations performed by imaging software "
             "packages, this includes radial, blending and distortions."},
        {11, "This benchmark also emulates the most common tasks and calulations of a modern word "
             "processors and office package, this includes third-party tsrs from these business "
             "packages."},
        {12, "This benchmark emulates the most common spreadsheet calculations and tasks, to give "
             "you an accurate spreadsheet performance score."},
        {13, "Select which software sub-systems you would like to benchmark?"},
        {14, "Welcome to the VexoGAUGE 2002 Tool Manager, this manager allows you to prepare your "
             "system to be benchmarked exactly the way you want it to be..."},
        {15, "The ATM will allow you to fully customize your application task running in the "
             "background. This allows you prepare your system fully for the benchmarks ahead."},
        {16, "This is the built-in DirectX diagnostics tool, it allows you to perform tests and "
             "shows compatiblity infomation for every aspect of DirectX."},
        {17, "This tool is built into Windows\xE2\x84\xA2 and can give you very all rounded system "
             "infomation directly related to your operating system."},
        {18, "Congratulations, your system is now ready to be benchmarked, there are just a few "
             "things you should know before the benchmark(s) take place ..."},
        {19, "All your system infomation will be saved into the saved benchmark file. This "
             "includes all the active processes under the ATM, general system infomation and "
             "devices installed. If you wish to distribute the benchmark files at a later stage "
             "you may do so with the result browser."},
        {20, "Before the benchmark begins a system benchmark throttling system will ensure your "
             "system is pre-prepared for the benchmark to proceed. This will ensure the most "
             "accurate results buy allowing your caching systems and task management systems to "
             "adjust the CPU timeslices."},
        {21, "To ensure benchmark accuracy you sould not move your mouse or press any keys on the "
             "keyboard while the benchmark proceeds. Unless performing a specific task you want "
             "to benchmark, you should not have any active programs running on the background "
             "(eg Defrag)."},
        {22, "Benchmarking Your System Now ..."},
        {23, "Status: Please Wait ... Initializing Benchmark Process."},
        {24, "Benchmark Progress: 0 / 0 (0 % Complete)"},
        {25, "Estimated Time Remaining: 0 minutes and 00 seconds"},
        {26, "Benchmark Discription: (Detailed Discription Here)"},
        {27, "CPU Benchmark (High Level and Low Level)"},
        {28, "FPU Benchmark (SPFP and Integer)"},
        {29, "Direct3D Benchmark (3D Accelerator)"},
        {30, "SpreadSheet Benchmark (Emulated)"},
        {31, "Business Package Benchmark (Emulated)"},
        {32, "Imaging Application Benchmark (Emulated)"},
        {33, "Select what option you would like to do now?"},
        {34, "This will allow you to benchmark specific aspects of this computer."},
        {35, "This will allow you to benchmark your computer under all posible situations and "
             "allow a total score."},
        {36, "This will be done with the help of the result browser."},
        {37, "This will open the result browser and allow you "},
        {38, "This will connect you the online world of benchmark swapping."},
        {39, "You have selected to perform a Direct3D Benchmark, here are a few options to "
             "customize your benchmark."},
        {43, "Screen &Resolution:"},
        {44, "Screen &Color Depth:"},
        {45, "Texture &Quality:"},
        {46, "Note: Your screen might not support all the resolutions avilable under the "
             "resolution selector, nor your graphics card might not support 24 or 32 bit color "
             "depths. Please administer caution when selecting these options."},
        {47, "Its reccommended that you have the latest drivers for your specific manufacturers "
             "graphics cards."},
        {48, "The selected infomation will be saved into the saved benchmark files for later use, "
             "either buy other VexoGAUGE 2002 users or buy yourself for comparisions under "
             "different situations."},
        {49, "Here you can review your system infomation ..."},
        {52, "Here you can see your result score card:"},
    }};
    return texts;
}

constexpr const char* kTitle = "Kestrovia VexoGAUGE 2002 Edition";

} // namespace

void Wizard::setStaticTexts() {
    for (const auto& [index, text] : staticTexts())
        m_elements.FrameText[static_cast<std::size_t>(index)].caption = text;
    setSavedFileText();
}

void Wizard::setSavedFileText() {
    m_elements.FrameText[53].caption = savedFileLine(m_state.run, m_state.folders);
}

void Wizard::Highlight_Link(int index) {
    if (index < 0 || index > 1)
        return;
    auto& underlined = m_elements.LinkUnderlined;
    if (!underlined[0] && !underlined[1])
        underlined[static_cast<std::size_t>(index)] = true;
}

void Wizard::Clear_Link_Highlight() {
    m_elements.LinkUnderlined.fill(false);
}

void Wizard::Set_Credits_Text() {
    m_elements.FrameText[2].caption =
        std::string("We hope you will enjoy using VexoGAUGE 2002 Edition, and that it will make "
                    "your understanding of just how corrosive those pesky TSRs are towards your "
                    "games and applications. We have worked hard to bring a new feel to our new "
                    "applications and we hope you like it? You may always contact us at") +
        CR + "or visit" + std::string(31, ' ') + "for more infomation.";
}

void Wizard::setTexts(const char* title, const char* subtitle, const char* footer) {
    m_elements.PermanentText = footer;
    m_elements.PageTitle[0] = title;
    m_elements.PageTitle[1] = subtitle;
}

void Wizard::show(std::initializer_list<int> frameTexts) {
    for (const int index : frameTexts)
        m_elements.FrameText[static_cast<std::size_t>(index)].visible = true;
}

void Wizard::showNextAndBack() {
    m_elements.ButtonVisible[0] = true;
    m_elements.ButtonVisible[1] = true;
}

void Wizard::Hide_All_Pages() {
    WizardElements& e = m_elements;
    e.ButtonText[0] = "&Next";
    for (int i = 0; i < 5; ++i)
        e.ButtonVisible[static_cast<std::size_t>(i)] = false;
    e.ButtonVisible[5] = true;
    e.BenchVisible.fill(false);
    e.OptionVisible.fill(false);
    e.OrderedVisible.fill(false);
    e.FrameLineVisible.fill(false);
    e.LinkVisible.fill(false);
    e.LRButtonVisible.fill(false);
    e.CheckVisible.fill(false);
    for (WizardText& text : e.FrameText)
        text.visible = false;
    for (const int image : {0, 1, 2, 4})
        e.FrameImageVisible[static_cast<std::size_t>(image)] = false;
}

void Wizard::Change_Page() {
    WizardElements& e = m_elements;
    const Selections& s = m_state.selections;
    // Some steps move to another page and start again; none can do so for ever.
    for (int restart = 0; restart < 8; ++restart) {
        Hide_All_Pages();
        if (m_currentPage == Page::Welcome) {
            e.ButtonVisible[0] = true;
            e.LinkVisible.fill(true);
            show({0, 1, 2});
            setTexts("Welcome to VexoGAUGE 2002 Edition.",
                     "Prepare yourself for the ultimate benchmark experience, simply follow "
                     "on-screen instructions to continue your way trough VexoGAUGE 2002.",
                     "Click next to continue ...");
            // The main-menu choice is carried out by any page but the main menu.
        }
        if (m_currentPage == Page::MainMenu) {
            Select_Option(0);
            m_completeBenchmark = false;
            for (int check = 0; check < 8; ++check) {
                if (flagOf(check) != False)
                    Toggle_Check(check);
            }
            showNextAndBack();
            show({33, 34, 35, 36, 37, 38});
            e.OptionVisible.fill(true);
            setTexts("VexoGAUGE 2002 Main Menu.",
                     "Choose out of our list of features as to what you want to do with "
                     "VexoGAUGE 2002 Edition, remember you can click help at anytime for "
                     "assistance.",
                     "Make your selection and click next to continue ...");
        } else {
            const std::int16_t choice = m_mainMenuChoice;
            if (choice == 4 || choice == 3 || choice == 2) {
                if (choice == 4) {
                    call(commands.openHomepage);
                } else {
                    call(commands.showResultBrowser);
                    if (choice == 2)
                        call(commands.loadInResultBrowser);
                }
                m_currentPage = Page::MainMenu;
                continue;
            }
            if (choice == 1) {
                for (int check = 0; check < 8; ++check) {
                    if (flagOf(check) == False)
                        Toggle_Check(check);
                }
                m_currentPage = Page::Direct3D;
                m_completeBenchmark = true;
                m_mainMenuChoice = 0;
                continue;
            }
        }
        if (m_currentPage == Page::Customize) {
            showNextAndBack();
            show({3, 4, 5});
            e.FrameImageVisible[0] = e.FrameImageVisible[1] = true;
            e.CheckVisible[6] = e.CheckVisible[7] = true;
            Check_Next_Button("MUChk");
            setTexts("Customize Your Benchmark.",
                     "Follow all on-screen instructions to completely customize and setup the "
                     "benchmarks you want to perform.",
                     "Click next to continue or back to back track ...");
        }
        if (m_currentPage == Page::Hardware) {
            if (isSet(s.HardwareSelected)) {
                showNextAndBack();
                show({6, 7, 8, 9});
                e.CheckVisible[0] = e.CheckVisible[1] = e.CheckVisible[2] = true;
                Check_Next_Button("HWChk");
                setTexts("Customize Hardware Benchmark.",
                         "Follow all on-screen instructions to completely customize and setup "
                         "the hardware benchmarks you want to perform.",
                         "Check you selection and click next to continue ...");
            } else {
                m_currentPage = Page::Software;
            }
        }
        if (m_currentPage == Page::Software) {
            if (m_completeBenchmark) {
                m_currentPage = Page::MainMenu;
                m_completeBenchmark = false;
                continue;
            }
            if (isSet(s.SoftwareSelected)) {
                showNextAndBack();
                show({10, 11, 12, 13});
                e.CheckVisible[3] = e.CheckVisible[4] = e.CheckVisible[5] = true;
                Check_Next_Button("SWChk");
                setTexts("Customize Software Benchmark.",
                         "Follow all on-screen instructions to completely customize and setup "
                         "the software benchmarks you want to perform.",
                         "Check your selection and click next to continue ...");
            } else {
                m_currentPage = Page::Direct3D;
            }
        }
        if (m_currentPage == Page::Direct3D) {
            if (isSet(s.Direct3DSelected)) {
                Change_DX_Option(6);
                e.FrameImageVisible[4] = true;
                showNextAndBack();
                show({39, 40, 41, 42, 43, 44, 45, 46, 47, 48});
                e.LRButtonVisible.fill(true);
                setTexts("Customize the Direct3D Benchmark.",
                         "Choose your desired screen resolution and color depth, followed by the "
                         "texture quality you want to set for the benchmark. This infomation is "
                         "also saved to the benchmark file.",
                         "Change your D3D setup and click next to continue ...");
            } else {
                m_currentPage = Page::SystemInformation;
            }
        }
        if (m_currentPage == Page::SystemInformation) {
            showNextAndBack();
            show({49, 50, 51});
            e.FrameLineVisible[2] = true;
            setTexts("System Infomation Viewer",
                     "Here you can see the system infomation that will be recorded to your "
                     "benchmark save file. Confirm and click 'next' to continue.",
                     "Review your system infomation and click next to continue ...");
        }
        if (m_currentPage == Page::ToolBox) {
            e.ButtonText[0] = "&Next";
            showNextAndBack();
            show({14, 15, 16, 17});
            e.ButtonVisible[2] = e.ButtonVisible[3] = e.ButtonVisible[4] = true;
            setTexts("VexoGAUGE 2002 Edition Tool Box.",
                     "This tool box allows your to run some of the more advanced tools that come "
                     "bundled with VexoGAUGE 2002 and Microsoft \xC2\xAE Windows.",
                     "You may run selected tools and click next to continue when done ...");
        }
        if (m_currentPage == Page::Ready) {
            e.ButtonText[0] = "Fi&nish";
            showNextAndBack();
            show({18, 19, 20, 21});
            e.OrderedVisible.fill(true);
            setTexts("Ready to Benchmark ...",
                     "Before your benchmark begins you should just read the following infomation "
                     "to better understand the proceedings.",
                     "Click the next button to begin the benchmark process ...");
        }
        if (m_currentPage == Page::Run) {
            Show_Bench_Selection();
            e.ButtonText[0] = "&Next";
            e.ButtonVisible[5] = false;
            show({22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32});
            e.FrameImageVisible[2] = true;
            e.BenchVisible.fill(true);
            e.FrameLineVisible[0] = e.FrameLineVisible[1] = true;
            setTexts("Please wait while your system is benchmarked ...",
                     "Remember to not move your mouse nor try and perform alternate tasks while "
                     "the benchmark is running, this is will decrease benchmark accuracy.",
                     "");
            call(commands.yield);
            e.windowTitle = std::string(kTitle) + " (Window Disabled)";
            e.windowEnabled = false;
            e.hourglass = true;
            call(commands.runBenchmark);
            e.hourglass = false;
            e.windowEnabled = true;
            e.windowTitle = kTitle;
            e.ButtonVisible[0] = true;
            e.ButtonText[0] = "&Next";
            Show_Score_Card();
        }
        if (m_currentPage == Page::ScoreCard) {
            e.ButtonText[0] = "Fi&nish";
            e.ButtonVisible[0] = true;
            e.ButtonVisible[1] = false;
            show({52, 53, 54, 55});
            e.FrameLineVisible[3] = e.FrameLineVisible[4] = true;
            setTexts("Your Benchmark Score Card ...",
                     "Here you can view a quick summary of your benchmark scores before visiting "
                     "the result browser, click 'Finish' when ready.",
                     "Click 'Finish' to goto the result browser ...");
        }
        if (m_currentPage == Page::ResultBrowser) {
            m_currentPage = Page::MainMenu;
            call(commands.showResultBrowser);
            continue;
        }
        return;
    }
}

void Wizard::Show_Score_Card() {
    setSavedFileText();
    m_elements.FrameText[55].caption.clear();
    m_elements.FrameText[54].caption = throttlingSentence(m_state.run.ThrottleTries);
    m_elements.FrameText[55].caption = scoreLines(m_state.scores) + missingScoreLines(m_state.run);
}

void Wizard::Button_Down(int index) {
    if (index >= 0 && index < 6)
        m_elements.ButtonImage[static_cast<std::size_t>(index)] =
            kButtonPictures[static_cast<std::size_t>(index)].pressed;
}

void Wizard::Button_Up(int index) {
    if (index < 0 || index >= 6)
        return;
    m_elements.ButtonImage[static_cast<std::size_t>(index)] =
        kButtonPictures[static_cast<std::size_t>(index)].released;
    const Selections& s = m_state.selections;
    switch (index) {
    case 0:
        m_currentPage = step(m_currentPage, 1);
        Change_Page();
        break;
    case 1: {
        Page page = m_currentPage;
        do {
            page = step(page, -1);
        } while ((page == Page::Direct3D && !isSet(s.Direct3DSelected)) ||
                 (page == Page::Software && !isSet(s.SoftwareSelected)) ||
                 (page == Page::Hardware && !isSet(s.HardwareSelected)));
        m_currentPage = page;
        Change_Page();
        break;
    }
    case 2:
        call(commands.showTaskManager);
        break;
    case 3:
        call(commands.runDirectXDiagnostics);
        break;
    case 4:
        call(commands.runSystemInformation);
        break;
    case 5:
        call(commands.showHelp);
        break;
    default:
        break;
    }
}

void Wizard::Handle_Key(char key) {
    const WizardElements& e = m_elements;
    if (key == 'N') {
        if (e.ButtonVisible[0])
            Button_Up(0);
        return;
    }
    if (key == 'B') {
        if (e.ButtonVisible[1])
            Button_Up(1);
        return;
    }
    if (key == 'H') {
        Button_Up(5);
        return;
    }
    auto in = [key](const char* keys) {
        for (int i = 0; keys[i] != '\0'; ++i)
            if (keys[i] == key)
                return i;
        return -1;
    };
    int at = -1;
    switch (m_currentPage) {
    case Page::MainMenu:
        if ((at = in("CPLRV")) >= 0)
            Select_Option(at);
        break;
    case Page::Customize:
        if ((at = in("SD")) >= 0)
            Toggle_Check(6 + at);
        break;
    case Page::Hardware:
        if ((at = in("CFD")) >= 0)
            Toggle_Check(at);
        break;
    case Page::Software:
        if ((at = in("SUI")) >= 0)
            Toggle_Check(3 + at);
        break;
    case Page::Direct3D:
        if ((at = in("RCQ")) >= 0)
            Change_DX_Option(1 + 2 * at);
        break;
    case Page::ToolBox:
        if ((at = in("TXW")) >= 0)
            Button_Up(2 + at);
        break;
    default:
        break;
    }
}

} // namespace vexo
