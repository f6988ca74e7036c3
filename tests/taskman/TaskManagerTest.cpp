#include "taskman/TaskManager.h"

#include "support/FakeDesktop.h"
#include "taskman/TaskTitles.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

constexpr std::uint32_t kHidden = 0;
constexpr std::uint32_t kVisible = WindowStyle::Visible;
constexpr std::uint32_t kMinimised = WindowStyle::Visible | WindowStyle::Minimised;
using Titles = std::vector<std::string>;

struct AtmRig : test::TaskServices<> {
    AtmRig() {
        atm.setOwnWindow(windows.open(TaskManager::WindowTitle));
        atm.onAbout = [this] { ++aboutShown; };
        atm.onClose = [this] { ++closed; };
    }
    TaskManager atm{services(), "/opt/vexo/"};
    int aboutShown = 0;
    int closed = 0;

    Titles titles(int list) const {
        Titles out;
        for (const TaskRow& row : atm.list(list).rows)
            out.push_back(row.title);
        return out;
    }
    std::string setting(const std::string& key) {
        return settings.get(kSettingsApplication, "ATM", key, "(missing)");
    }
    std::string request(const char* what, WindowId id) { return what + std::to_string(id); }
};

TEST(TaskList, VisibleTitledWindowsInStackOrderAndAllTitledOnesInTheSecondList) {
    AtmRig rig;
    rig.windows.open("Wizard");
    const WindowId hidden = rig.windows.open("Hidden helper", kHidden);
    rig.windows.open("", kVisible); // untitled: never listed
    const WindowId editor = rig.windows.open("Editor");
    rig.atm.Form_Load();

    EXPECT_EQ(rig.titles(0), (Titles{"Editor", "Wizard"}));
    EXPECT_EQ(rig.titles(1), (Titles{"Editor", "Hidden helper", "Wizard"}));
    const TaskList& apps = rig.atm.list(0);
    EXPECT_EQ(apps.rows[0].handle, std::to_string(editor));
    EXPECT_EQ(apps.rows[0].image, 1);
    EXPECT_EQ(rig.atm.list(1).rows[1].handle, std::to_string(hidden));
    EXPECT_EQ(rig.atm.list(1).rows[1].image, 2);
    EXPECT_EQ(apps.arrangement, 1);
}

// Cut at the first NUL, and after the 1024th character (a stray continuation byte belongs to
// the character before it; nothing is split).
TEST(TaskList, TitlesAreCutAtTheirFirstNulAndAfterTheirThousandTwentyFourthCharacter) {
    const std::string e = "\xC3\xA9"; // two bytes, one character
    std::string accented;
    for (int i = 0; i < 1100; ++i)
        accented += e;
    EXPECT_EQ(TaskManager::listedTitle(accented).size(), 2048u);
    EXPECT_EQ(TaskManager::listedTitle(std::string(1 << 20, 'W')), std::string(1024, 'W'));
    const std::string stray = std::string(1023, 'a') + "\x80\x80" + e;
    EXPECT_EQ(TaskManager::listedTitle(stray), stray);
    EXPECT_EQ(TaskManager::Strip_At_Nul(std::string("Report\0junk", 11)), "Report");
    AtmRig rig;
    rig.windows.open(std::string("Notes\0tail", 10));
    rig.windows.open(std::string("\0only after", 11)); // empty once cut: not listed
    rig.atm.Form_Load();
    EXPECT_EQ(rig.titles(0), (Titles{"Notes"}));
}

TEST(TaskList, OnlyAChangeInTheNumberOfTitledWindowsRebuilds) {
    AtmRig rig;
    const WindowId gamma = rig.windows.open("Gamma", kHidden);
    const WindowId alpha = rig.windows.open("Alpha");
    rig.windows.open("Beta");
    rig.atm.Form_Load();
    const std::uint64_t built = rig.atm.revision();

    // A new title alone changes nothing, even on F5 or after a button; neither does a window
    // hiding while another appears, nor one closing while another opens.
    rig.windows.find(alpha)->title = "Alpha renamed";
    rig.atm.RefreshMenu_Click();
    rig.atm.CommandButton_Click(2);
    rig.windows.find(alpha)->style = kHidden;
    rig.windows.find(gamma)->style = kVisible;
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.titles(0), (Titles{"Beta", "Alpha"}));
    rig.windows.close(alpha);
    rig.windows.open("Delta");
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.atm.revision(), built);

    rig.windows.open("Epsilon");
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.titles(0), (Titles{"Epsilon", "Delta", "Beta", "Gamma"}));
}

TEST(TaskList, TimerRefreshKeepsTheSelectedRowNumbers) {
    AtmRig rig;
    rig.windows.open("One");
    rig.windows.open("Two");
    rig.windows.open("Three", kHidden);
    rig.atm.Form_Load();
    rig.atm.select(0, 2);
    rig.atm.select(1, 3);
    rig.windows.open("Four");
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.titles(0), (Titles{"Four", "Two", "One"}));
    EXPECT_EQ(rig.atm.list(0).selected, 2); // the same number, now another window
    EXPECT_EQ(rig.atm.list(1).selected, 3);

    // A stored number past the end of the new list selects nothing.
    rig.atm.select(0, 3);
    rig.windows.windows.erase(rig.windows.windows.begin(), rig.windows.windows.begin() + 2);
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.atm.list(0).selected, 0);
}

// Switch restores a minimised window before raising it, Show Task raises a hidden one without
// restoring, a double-click switches to the application list's selection; each request runs
// with the other programs held.
TEST(TaskActions, SwitchShowAndDoubleClickRaiseTheirWindows) {
    AtmRig rig;
    const WindowId hidden = rig.windows.open("Hidden", kHidden | WindowStyle::Minimised);
    const WindowId small = rig.windows.open("Small", kMinimised);
    const WindowId normal = rig.windows.open("Normal");
    rig.atm.Form_Load();
    rig.atm.select(0, 2);
    rig.atm.CommandButton_Click(0);
    rig.atm.select(1, 3);
    rig.atm.CommandButton_Click(3);
    rig.atm.select(0, 1);
    rig.atm.taskViewDoubleClick();
    EXPECT_EQ(rig.windows.requests,
              (Titles{rig.request("restore ", small), rig.request("raise ", small),
                      rig.request("raise ", hidden), rig.request("raise ", normal)}));
    EXPECT_EQ(rig.windows.requestsUnheld, 0);
    EXPECT_FALSE(rig.windows.held);
}

TEST(TaskActions, EndTaskAsksFirstAndOnlyAsksTheWindowToClose) {
    AtmRig rig;
    const WindowId report = rig.windows.open("Report");
    rig.atm.Form_Load();
    rig.atm.select(0, 1);
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.atm.CommandButton_Click(5);
    EXPECT_TRUE(rig.windows.requests.empty());
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Are you sure you want to end the process: Report.\r"
                                            "This may cause system hanging or unpredictable "
                                            "results!");
    EXPECT_EQ(rig.dialogs.messages[0].style, 36);
    EXPECT_EQ(rig.dialogs.messages[0].title, "Warning!");

    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.atm.select(1, 1);
    rig.atm.CommandButton_Click(1);
    EXPECT_EQ(rig.windows.requests, (Titles{rig.request("close ", report)}));
}

// Each action on a row whose window has closed, or whose id another window now has (the
// count-only refresh keeps such rows), sends nothing, says so once and lists anew.
TEST(TaskActions, ARowWhoseWindowChangedOrClosedIsNeverActedOn) {
    struct Case {
        const char* name;
        int list, button;
        bool underTheQuestion; // the change happens while End Task's question is open
        bool sameTitle;        // the newcomer copies the title; only its owner differs
    };
    for (const Case c : {Case{"switch", 0, 0, false, false}, Case{"show", 1, 3, false, false},
                         Case{"end task, advanced", 1, 1, false, true},
                         Case{"under the question", 0, 5, true, false},
                         Case{"under the question, same title", 1, 1, true, true}}) {
        SCOPED_TRACE(c.name);
        AtmRig rig;
        const WindowId notes = rig.windows.open("Notes for Tuesday");
        rig.windows.find(notes)->owner = {4242, std::string("notes\0Notes\0", 13)};
        rig.windows.open("Build log viewer");
        rig.atm.Form_Load();
        rig.atm.select(c.list, 2);
        const std::string newcomer = c.sameTitle ? "Notes for Tuesday" : "Newcomer";
        const auto replace = [&] { // another program's window is given the id
            rig.windows.find(notes)->title = newcomer;
            rig.windows.find(notes)->owner = {777, "newcomer"};
        };
        if (c.underTheQuestion)
            rig.dialogs.whileBoxOpen = replace;
        else
            replace();
        rig.atm.RefreshMenu_Click(); // the count is unchanged: the old row stays
        rig.dialogs.messageAnswer = MsgAnswer::Yes;
        rig.atm.CommandButton_Click(c.button);

        EXPECT_TRUE(rig.windows.requests.empty());
        ASSERT_FALSE(rig.dialogs.messages.empty());
        EXPECT_EQ(rig.dialogs.messages.back().text,
                  "The window \"Notes for Tuesday\" in that row has changed or closed since the "
                  "list was made, so nothing was done to it. The lists are made anew.");
        EXPECT_EQ(rig.dialogs.messages.back().style, 64);
        EXPECT_EQ(rig.dialogs.messages.size(), c.button == 5 || c.button == 1 ? 2u : 1u);
        EXPECT_EQ(rig.titles(c.list)[1], newcomer);
    }
}

TEST(TaskActions, NewTaskAsksForAProgramAndStartsItSilently) {
    AtmRig rig;
    rig.atm.Form_Load();
    rig.files.answers = {std::string("/usr/bin/xterm"), std::nullopt};
    rig.files.startWorks = false;
    rig.atm.CommandButton_Click(2);
    rig.atm.CommandButton_Click(4); // cancelled: nothing happens
    ASSERT_EQ(rig.files.requests.size(), 2u);
    const FileDialogRequest& request = rig.files.requests[0];
    EXPECT_EQ(request.title, "New Task ...");
    EXPECT_EQ(request.initialFolder, "/opt/vexo/");
    EXPECT_EQ(request.filter,
              "Executable Files (*.exe)|*.exe|TSR Executable (*.com)|*.com|All Files (*.*)|*.*");
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.flags, 0x81004u);
    EXPECT_EQ(rig.files.started, (Titles{"/usr/bin/xterm"}));
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(TaskActions, NothingSelectedOrAnEmptyListDoesNothingButRefresh) {
    AtmRig rig;
    rig.atm.Form_Load();
    for (const int button : {0, 1, 3, 5})
        rig.atm.CommandButton_Click(button);
    rig.atm.taskViewDoubleClick();
    EXPECT_TRUE(rig.windows.requests.empty());
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.log.yields(), 5u); // every button yields before its refresh
}

TEST(AtmSettings, FirstUseShowsTheReportViewWithoutAutomaticRefreshAndSpeedsSetTheTimer) {
    AtmRig rig;
    rig.atm.Form_Load();
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_FALSE(rig.atm.checked(AtmCheck::ViewIcons));
    EXPECT_FALSE(rig.atm.checked(AtmCheck::SpeedPaused));
    EXPECT_EQ(rig.atm.timerInterval(), 0);
    EXPECT_EQ(rig.atm.list(0).viewMode, 3);
    EXPECT_TRUE(rig.settings.values.empty()); // nothing written until the window unloads

    const std::pair<void (TaskManager::*)(), int> speeds[] = {{&TaskManager::UpdHigh_Click, 500},
                                                              {&TaskManager::UpdNorm_Click, 1000},
                                                              {&TaskManager::UpdSlow_Click, 4000},
                                                              {&TaskManager::UpdNone_Click, 0}};
    for (const auto& [click, interval] : speeds) {
        (rig.atm.*click)();
        EXPECT_EQ(rig.atm.timerInterval(), interval);
    }
    rig.atm.ViewIcon_Click();
    rig.atm.ExitMenu_Click(); // saves, then closes
    EXPECT_EQ(rig.closed, 1);
    for (const char* key : {"UpdateMode1", "UpdateMode2", "UpdateMode3", "ViewMode2"})
        EXPECT_EQ(rig.setting(key), "False") << key;
    EXPECT_EQ(rig.setting("UpdateMode4"), "True");
    EXPECT_EQ(rig.setting("ViewMode1"), "True");
    rig.atm.AboutMenu_Click();
    EXPECT_EQ(rig.aboutShown, 1);
}

TEST(AtmSettings, StoredMarksAreRestoredAndTheLastCheckedSpeedWins) {
    AtmRig rig;
    for (const char* key : {"ViewMode1", "ViewMode2", "UpdateMode1", "UpdateMode3"})
        rig.settings.save(kSettingsApplication, "ATM", key, "true");
    rig.atm.Form_Load();
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewIcons));
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_EQ(rig.atm.list(1).viewMode, 3);
    EXPECT_EQ(rig.atm.timerInterval(), 4000);
    rig.atm.ViewIcon_Click();
    EXPECT_FALSE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_EQ(rig.atm.list(1).viewMode, 0);

    // No speed checked stops the timer; neither view checked keeps the mode a load starts with.
    for (const char* key : {"UpdateMode1", "UpdateMode3", "ViewMode1", "ViewMode2"})
        rig.settings.save(kSettingsApplication, "ATM", key, "False");
    rig.atm.UpdNorm_Click();
    rig.atm.Form_Load();
    EXPECT_FALSE(rig.atm.checked(AtmCheck::SpeedHigh));
    EXPECT_EQ(rig.atm.timerInterval(), 0);
    EXPECT_EQ(rig.atm.list(0).viewMode, 3);
}

TEST(AtmSettings, TruthTexts) {
    for (const auto& [text, fallback, truth] :
         std::vector<std::tuple<std::string, bool, bool>>{{"TRUE", false, true},
                                                          {"-1", false, true},
                                                          {"False", true, false},
                                                          {"0", true, false},
                                                          {"maybe", true, true},
                                                          {"", false, false}})
        EXPECT_EQ(parseTruth(text, fallback), truth) << text;
}

TEST(AtmSort, ColumnClickSortsOnceDescendingAsText) {
    AtmRig rig;
    rig.windows.windows = {
        {10000, "beta", kVisible}, {9, "Alpha", kVisible}, {123, "gamma", kVisible}};
    rig.atm.Form_Load();
    rig.atm.select(0, 1); // beta
    rig.atm.ColumnClick(0, 1);
    Titles handles;
    for (const TaskRow& row : rig.atm.list(0).rows)
        handles.push_back(row.handle);
    EXPECT_EQ(handles, (Titles{"9", "123", "10000"}));
    EXPECT_EQ(rig.atm.list(0).selected, 3); // the selection stays with beta

    rig.atm.ColumnClick(0, 0);
    EXPECT_EQ(rig.titles(0), (Titles{"gamma", "beta", "Alpha"}));

    // Sorting is switched off again: a rebuild lists in stack order.
    rig.windows.windows.push_back({77, "delta", kVisible});
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.titles(0), (Titles{"beta", "Alpha", "gamma", "delta"}));
}

// Without a window system the reason replaces the hint, and no notice of a partial list is
// beside it; a desktop that hides its own windows is listed, with the notice.
TEST(AtmStatus, SaysWhyNothingIsListedOrThatOnlyX11ProgramsAre) {
    AtmRig rig;
    rig.windows.notice = OnlyX11Listed;
    rig.windows.open("xterm");
    rig.atm.Form_Load();
    EXPECT_EQ(rig.atm.statusText(), TaskManager::StatusHint);
    EXPECT_EQ(rig.atm.noticeText(), "Only X11 programs are listed on this desktop");
    EXPECT_EQ(rig.titles(0), (Titles{"xterm"}));

    rig.windows.reason = "No X11 display: DISPLAY is not set";
    rig.windows.windows.clear();
    rig.atm.Form_Load();
    EXPECT_EQ(rig.atm.statusText(), "No X11 display: DISPLAY is not set");
    EXPECT_TRUE(rig.atm.list(1).rows.empty());
    EXPECT_EQ(rig.atm.noticeText(), "");
}

TEST(ApplicationTasks, ReadsTheApplicationListAndSavesSettingsOnUnload) {
    AtmRig rig;
    rig.windows.open("Terminal");
    rig.windows.open("Hidden", kHidden);
    rig.windows.open("Browser");
    EXPECT_EQ(readApplicationTasks(rig.atm), (Titles{"Browser", "Terminal"}));
    EXPECT_EQ(rig.setting("ViewMode2"), "True");
}

} // namespace
} // namespace vexo
