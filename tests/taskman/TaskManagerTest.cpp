#include "taskman/TaskManager.h"

#include "support/FakeDesktop.h"
#include "support/RunRecorder.h"
#include "taskman/TaskTitles.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

using test::FakeWindowSystem;

constexpr std::uint32_t kHidden = 0;
constexpr std::uint32_t kVisible = WindowStyle::Visible;
constexpr std::uint32_t kMinimised = WindowStyle::Visible | WindowStyle::Minimised;

struct AtmRig {
    AtmRig() {
        atm.setOwnWindow(own);
        atm.onAbout = [this] { ++aboutShown; };
        atm.onClose = [this] { ++closed; };
    }
    FakeWindowSystem desktop;
    test::MemorySettings settings;
    test::EventLog log;
    test::ScriptedDialogs dialogs{log};
    test::FakeFileDialogs files;
    test::CountingPump pump{log};
    TaskManager atm{{desktop, settings, dialogs, files, files, pump}, "/opt/vexo/"};
    WindowId own = desktop.open(TaskManager::WindowTitle);
    int aboutShown = 0;
    int closed = 0;

    std::vector<std::string> titles(int list) const {
        std::vector<std::string> out;
        for (const TaskRow& row : atm.list(list).rows)
            out.push_back(row.title);
        return out;
    }
    std::string setting(const std::string& key) {
        return settings.get(kSettingsApplication, "ATM", key, "(missing)");
    }
};

using Titles = std::vector<std::string>;

TEST(TaskList, VisibleTitledWindowsInStackOrderAndAllTitledOnesInTheSecondList) {
    AtmRig rig;
    rig.desktop.open("Wizard");
    const WindowId hidden = rig.desktop.open("Hidden helper", kHidden);
    rig.desktop.open("", kVisible); // untitled: never listed
    const WindowId editor = rig.desktop.open("Editor");
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

TEST(TaskList, TitlesAreCutAtTheirFirstNul) {
    EXPECT_EQ(TaskManager::Strip_At_Nul(std::string("Report\0junk", 11)), "Report");
    EXPECT_EQ(TaskManager::Strip_At_Nul("plain"), "plain");
    AtmRig rig;
    rig.desktop.open(std::string("Notes\0tail", 10));
    rig.desktop.open(std::string("\0only after", 11)); // empty once cut: not listed
    rig.atm.Form_Load();
    EXPECT_EQ(rig.titles(0), (Titles{"Notes"}));
}

TEST(TaskList, LongTitlesAreCutAfterTheirThousandTwentyFourthCharacter) {
    const std::string e = "\xC3\xA9"; // two bytes, one character
    std::string accented;
    for (int i = 0; i < 1100; ++i)
        accented += e;
    EXPECT_EQ(TaskManager::listedTitle(accented).size(), 2048u);
    EXPECT_EQ(TaskManager::listedTitle(std::string(1 << 20, 'W')), std::string(1024, 'W'));
    EXPECT_EQ(TaskManager::listedTitle(std::string(1024, 'W')), std::string(1024, 'W'));
    // A stray continuation byte belongs to the character before it; nothing is split.
    EXPECT_EQ(TaskManager::listedTitle(std::string(1023, 'a') + "\x80\x80" + e),
              std::string(1023, 'a') + "\x80\x80" + e);
}

TEST(TaskList, OnlyAChangeInTheNumberOfTitledWindowsRebuilds) {
    AtmRig rig;
    const WindowId gamma = rig.desktop.open("Gamma", kHidden);
    const WindowId alpha = rig.desktop.open("Alpha");
    rig.desktop.open("Beta");
    rig.atm.Form_Load();
    EXPECT_EQ(rig.titles(0), (Titles{"Beta", "Alpha"}));
    const std::uint64_t built = rig.atm.revision();

    // A new title alone changes nothing, even on F5 or after a button.
    rig.desktop.find(alpha)->title = "Alpha renamed";
    rig.atm.RefreshMenu_Click();
    rig.atm.CommandButton_Click(2);
    EXPECT_EQ(rig.titles(0), (Titles{"Beta", "Alpha"}));

    // A window that hides while another appears keeps the count, so the hidden one stays
    // listed and the new one is missing.
    rig.desktop.find(alpha)->style = kHidden;
    rig.desktop.find(gamma)->style = kVisible;
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.titles(0), (Titles{"Beta", "Alpha"}));
    // Likewise one window closing while another opens.
    rig.desktop.close(alpha);
    rig.desktop.open("Delta");
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.atm.revision(), built);

    rig.desktop.open("Epsilon");
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.titles(0), (Titles{"Epsilon", "Delta", "Beta", "Gamma"}));
    EXPECT_GT(rig.atm.revision(), built);
}

TEST(TaskList, TimerRefreshKeepsTheSelectedRowNumbers) {
    AtmRig rig;
    rig.desktop.open("One");
    rig.desktop.open("Two");
    rig.desktop.open("Three", kHidden);
    rig.atm.Form_Load();
    rig.atm.select(0, 2);
    rig.atm.select(1, 3);
    rig.desktop.open("Four");
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.titles(0), (Titles{"Four", "Two", "One"}));
    EXPECT_EQ(rig.atm.list(0).selected, 2); // the same number, now another window
    EXPECT_EQ(rig.atm.list(1).selected, 3);

    // A stored number past the end of the new list selects nothing.
    rig.atm.select(0, 3);
    rig.desktop.windows.erase(rig.desktop.windows.begin(), rig.desktop.windows.begin() + 2);
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.atm.list(0).selected, 0);
}

TEST(TaskActions, SwitchRestoresAMinimisedWindowBeforeRaisingIt) {
    AtmRig rig;
    const WindowId small = rig.desktop.open("Small", kMinimised);
    const WindowId normal = rig.desktop.open("Normal");
    rig.atm.Form_Load();
    rig.atm.select(0, 2);
    rig.atm.CommandButton_Click(0);
    rig.atm.select(0, 1);
    rig.atm.CommandButton_Click(0);
    EXPECT_EQ(rig.desktop.requests,
              (Titles{"restore " + std::to_string(small), "raise " + std::to_string(small),
                      "raise " + std::to_string(normal)}));
}

TEST(TaskActions, ShowTaskRaisesTheHiddenWindowWithoutRestoring) {
    AtmRig rig;
    const WindowId hidden = rig.desktop.open("Hidden", kHidden | WindowStyle::Minimised);
    rig.atm.Form_Load();
    rig.atm.select(1, 1);
    rig.atm.CommandButton_Click(3);
    EXPECT_EQ(rig.desktop.requests, (Titles{"raise " + std::to_string(hidden)}));
}

TEST(TaskActions, DoubleClickSwitchesToTheApplicationListsSelection) {
    AtmRig rig;
    const WindowId app = rig.desktop.open("Application");
    rig.desktop.open("Process only", kHidden);
    rig.atm.Form_Load();
    rig.atm.select(0, 1);
    rig.atm.select(1, 1);
    rig.atm.taskViewDoubleClick();
    EXPECT_EQ(rig.desktop.requests, (Titles{"raise " + std::to_string(app)}));
}

TEST(TaskActions, EndTaskAsksFirstAndOnlyAsksTheWindowToClose) {
    AtmRig rig;
    const WindowId report = rig.desktop.open("Report");
    rig.atm.Form_Load();
    rig.atm.select(0, 1);
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.atm.CommandButton_Click(5);
    EXPECT_TRUE(rig.desktop.requests.empty());
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Are you sure you want to end the process: Report.\r"
                                            "This may cause system hanging or unpredictable "
                                            "results!");
    EXPECT_EQ(rig.dialogs.messages[0].style, 36);
    EXPECT_EQ(rig.dialogs.messages[0].title, "Warning!");

    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.atm.select(1, 1);
    rig.atm.CommandButton_Click(1);
    EXPECT_EQ(rig.desktop.requests, (Titles{"close " + std::to_string(report)}));
}

TEST(TaskActions, EndTaskClosesTheWindowNamedInTheQuestionWhileTheDesktopChanges) {
    AtmRig rig;
    rig.atm.UpdHigh_Click();
    const WindowId notes = rig.desktop.open("Notes for Tuesday");
    rig.atm.Form_Load();
    rig.atm.select(0, 1);
    bool refreshed = false;
    // The question is itself a new titled window; the timer fires meanwhile, and the user's
    // other program opens one more.
    rig.dialogs.whileBoxOpen = [&] {
        rig.desktop.open("Warning!");
        rig.desktop.open("Build log viewer");
        rig.atm.App_Timer_Timer();
        refreshed = rig.atm.list(0).rows.size() != 1;
    };
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.atm.CommandButton_Click(5);
    EXPECT_FALSE(refreshed);
    EXPECT_EQ(rig.desktop.requests, (Titles{"close " + std::to_string(notes)}));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text,
              "Are you sure you want to end the process: Notes for Tuesday.\r"
              "This may cause system hanging or unpredictable results!");
    // Once answered, the refresh runs again.
    rig.dialogs.whileBoxOpen = nullptr;
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.titles(0), (Titles{"Build log viewer", "Warning!", "Notes for Tuesday"}));
}

// Each action on a row whose window has closed, or whose id another window now has (the
// count-only refresh keeps such rows), sends nothing, says so once and lists anew.
TEST(TaskActions, ARowWhoseWindowChangedOrClosedIsNeverActedOn) {
    struct Case {
        const char* name;
        int list;
        int button;
        bool underTheQuestion; // the change happens while End Task's question is open
        bool sameTitle;        // the newcomer copies the title; only its owner differs
    };
    for (const Case c :
         {Case{"switch", 0, 0, false, false}, Case{"show", 1, 3, false, false},
          Case{"end task", 0, 5, false, false}, Case{"end task, advanced", 1, 1, false, true},
          Case{"under the question", 0, 5, true, false},
          Case{"under the question, same title", 1, 1, true, true}}) {
        SCOPED_TRACE(c.name);
        AtmRig rig;
        const WindowId notes = rig.desktop.open("Notes for Tuesday");
        rig.desktop.find(notes)->owner = {4242, std::string("notes\0Notes\0", 13)};
        rig.desktop.open("Build log viewer");
        rig.atm.Form_Load();
        rig.atm.select(c.list, 2);
        // The window closes and another program's window is given its id.
        const auto replace = [&] {
            rig.desktop.close(notes);
            rig.desktop.windows.insert(
                rig.desktop.windows.begin(),
                {notes,
                 c.sameTitle ? "Notes for Tuesday" : "Newcomer with unsaved work",
                 kVisible,
                 {777, "newcomer"}});
        };
        if (c.underTheQuestion)
            rig.dialogs.whileBoxOpen = [&] {
                replace();
                rig.dialogs.whileBoxOpen = nullptr;
            };
        else
            replace();
        rig.atm.RefreshMenu_Click(); // the count is unchanged: the old row stays
        ASSERT_EQ(rig.atm.list(c.list).rows[1].title, "Notes for Tuesday");
        rig.dialogs.messageAnswer = MsgAnswer::Yes;
        rig.atm.CommandButton_Click(c.button);

        EXPECT_TRUE(rig.desktop.requests.empty());
        ASSERT_FALSE(rig.dialogs.messages.empty());
        EXPECT_EQ(rig.dialogs.messages.back().text,
                  "The window \"Notes for Tuesday\" in that row has changed or closed since the "
                  "list was made, so nothing was done to it. The lists are made anew.");
        EXPECT_EQ(rig.dialogs.messages.back().style, 64);
        EXPECT_EQ(rig.dialogs.messages.size(), c.button == 5 || c.button == 1 ? 2u : 1u);
        EXPECT_EQ(rig.titles(c.list)[0],
                  c.sameTitle ? "Notes for Tuesday" : "Newcomer with unsaved work");
    }
}

TEST(TaskActions, TheCheckAndTheRequestRunWithTheOtherProgramsHeld) {
    AtmRig rig;
    rig.desktop.open("Small", kMinimised);
    rig.desktop.open("Hidden", kHidden);
    rig.atm.Form_Load();
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.atm.select(0, 1);
    rig.atm.CommandButton_Click(0);
    rig.atm.select(1, 1);
    rig.atm.CommandButton_Click(3);
    rig.atm.select(1, 2);
    rig.atm.CommandButton_Click(1);
    EXPECT_EQ(rig.desktop.requests.size(), 4u);
    EXPECT_EQ(rig.desktop.requestsUnheld, 0);
    EXPECT_FALSE(rig.desktop.held);
}

TEST(TaskActions, EndTaskOnAWindowWithoutAPoliteCloseSaysItCouldNotBeClosed) {
    AtmRig rig;
    const WindowId stubborn = rig.desktop.open("Old terminal");
    const WindowId polite = rig.desktop.open("Editor");
    rig.desktop.withoutPoliteClose.push_back(stubborn);
    rig.atm.Form_Load();
    rig.dialogs.messageAnswer = MsgAnswer::Yes;

    rig.atm.select(0, 2);
    rig.atm.CommandButton_Click(5);
    ASSERT_EQ(rig.dialogs.messages.size(), 2u);
    EXPECT_EQ(rig.dialogs.messages[1].text, "The window \"Old terminal\" could not be closed: it "
                                            "does not accept a request to close.");
    EXPECT_EQ(rig.dialogs.messages[1].style, 48);
    EXPECT_EQ(rig.dialogs.messages[1].title, "End Task");
    // Nothing else is tried: the window and its program stay.
    EXPECT_EQ(rig.desktop.requests, (Titles{"close " + std::to_string(stubborn)}));
    EXPECT_EQ(rig.titles(0), (Titles{"Editor", "Old terminal"}));

    // A window that takes the request gets no second box.
    rig.atm.select(1, 1);
    rig.atm.CommandButton_Click(1);
    EXPECT_EQ(rig.dialogs.messages.size(), 3u);
    EXPECT_EQ(rig.desktop.requests.back(), "close " + std::to_string(polite));
}

TEST(TaskList, EveryNativeWindowOfTheTaskManagerIsLeftOutOfBothLists) {
    AtmRig rig;
    WindowId current = rig.own;
    rig.atm.setOwnWindows([&](WindowId window) { return window == current; });
    rig.desktop.open("Editor");
    rig.atm.Form_Load();
    EXPECT_EQ(rig.titles(0), (Titles{"Editor"}));
    EXPECT_EQ(rig.titles(1), (Titles{"Editor"}));
    // Closed and opened again: the old native window is gone, a new one carries the title.
    rig.desktop.close(rig.own);
    current = rig.desktop.open(TaskManager::WindowTitle);
    rig.atm.RefreshMenu_Click();
    rig.atm.Form_Load();
    EXPECT_EQ(rig.titles(0), (Titles{"Editor"}));
    EXPECT_EQ(rig.titles(1), (Titles{"Editor"}));
    // A hidden one still is not listed among all windows.
    rig.desktop.find(current)->style = kHidden;
    rig.desktop.open("Viewer");
    rig.atm.RefreshMenu_Click();
    EXPECT_EQ(rig.titles(1), (Titles{"Viewer", "Editor"}));
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
    for (int button = 0; button < 6; ++button) {
        if (button != 2 && button != 4)
            rig.atm.CommandButton_Click(button);
    }
    rig.atm.taskViewDoubleClick();
    EXPECT_TRUE(rig.desktop.requests.empty());
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.log.yields(), 5u); // every button yields before its refresh
}

TEST(AtmSettings, FirstUseShowsTheReportViewWithoutAutomaticRefresh) {
    AtmRig rig;
    rig.atm.Form_Load();
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_FALSE(rig.atm.checked(AtmCheck::ViewIcons));
    for (AtmCheck speed :
         {AtmCheck::SpeedHigh, AtmCheck::SpeedNormal, AtmCheck::SpeedSlow, AtmCheck::SpeedPaused})
        EXPECT_FALSE(rig.atm.checked(speed));
    EXPECT_EQ(rig.atm.timerInterval(), 0);
    EXPECT_EQ(rig.atm.list(0).viewMode, 3);
    EXPECT_TRUE(rig.settings.values.empty()); // nothing written until the window unloads
}

TEST(AtmSettings, SpeedsSetTheTimerAndPausedIsRememberedAlone) {
    AtmRig rig;
    rig.atm.Form_Load();
    rig.atm.UpdHigh_Click();
    EXPECT_EQ(rig.atm.timerInterval(), 500);
    rig.atm.UpdNorm_Click();
    EXPECT_EQ(rig.atm.timerInterval(), 1000);
    rig.atm.UpdSlow_Click();
    EXPECT_EQ(rig.atm.timerInterval(), 4000);
    rig.atm.UpdNone_Click();
    EXPECT_EQ(rig.atm.timerInterval(), 0);
    rig.atm.Form_QueryUnload();
    EXPECT_EQ(rig.setting("UpdateMode4"), "True");
    for (const char* key : {"UpdateMode1", "UpdateMode2", "UpdateMode3", "ViewMode1"})
        EXPECT_EQ(rig.setting(key), "False") << key;
    EXPECT_EQ(rig.setting("ViewMode2"), "True");
}

TEST(AtmSettings, StoredMarksAreRestoredAndTheLastCheckedSpeedWins) {
    AtmRig rig;
    rig.settings.save(kSettingsApplication, "ATM", "ViewMode1", "True");
    rig.settings.save(kSettingsApplication, "ATM", "ViewMode2", "True");
    rig.settings.save(kSettingsApplication, "ATM", "UpdateMode1", "True");
    rig.settings.save(kSettingsApplication, "ATM", "UpdateMode3", "true");
    rig.atm.Form_Load();
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewIcons));
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_EQ(rig.atm.list(0).viewMode, 3);
    EXPECT_EQ(rig.atm.list(1).viewMode, 3);
    EXPECT_EQ(rig.atm.timerInterval(), 4000);

    rig.atm.ViewIcon_Click();
    EXPECT_FALSE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_EQ(rig.atm.list(1).viewMode, 0);
}

TEST(AtmSettings, ALoadWithNoSpeedCheckedStopsTheTimer) {
    AtmRig rig;
    rig.atm.Form_Load();
    rig.atm.UpdHigh_Click();
    rig.atm.ViewIcon_Click();
    rig.atm.Form_QueryUnload();
    for (const char* key : {"UpdateMode1", "ViewMode1", "ViewMode2"})
        rig.settings.save(kSettingsApplication, "ATM", key, "False");
    rig.atm.Form_Load();
    EXPECT_FALSE(rig.atm.checked(AtmCheck::SpeedHigh));
    EXPECT_EQ(rig.atm.timerInterval(), 0);
    // Neither view checked: the lists keep the mode a load starts with.
    EXPECT_EQ(rig.atm.list(0).viewMode, 3);
    rig.settings.values.clear(); // no settings at all
    rig.atm.UpdNorm_Click();
    rig.atm.Form_Load();
    EXPECT_EQ(rig.atm.timerInterval(), 0);
}

TEST(AtmSettings, TruthTexts) {
    EXPECT_TRUE(parseTruth("True", false));
    EXPECT_TRUE(parseTruth("TRUE", false));
    EXPECT_TRUE(parseTruth("-1", false));
    EXPECT_FALSE(parseTruth("False", true));
    EXPECT_FALSE(parseTruth("0", true));
    EXPECT_TRUE(parseTruth("maybe", true));
    EXPECT_FALSE(parseTruth("", false));
}

TEST(AtmMenus, ExitSavesAndClosesAboutOpensTheBox) {
    AtmRig rig;
    rig.atm.Form_Load();
    rig.atm.ViewIcon_Click();
    rig.atm.ExitMenu_Click();
    EXPECT_EQ(rig.closed, 1);
    EXPECT_EQ(rig.setting("ViewMode1"), "True");
    rig.atm.AboutMenu_Click();
    EXPECT_EQ(rig.aboutShown, 1);
}

TEST(AtmSort, ColumnClickSortsOnceDescendingAsText) {
    AtmRig rig;
    rig.desktop.windows.clear();
    rig.desktop.windows.push_back({10000, "beta", kVisible});
    rig.desktop.windows.push_back({9, "Alpha", kVisible});
    rig.desktop.windows.push_back({123, "gamma", kVisible});
    rig.atm.Form_Load();
    rig.atm.select(0, 1); // beta
    rig.atm.ColumnClick(0, 1);
    std::vector<std::string> handles;
    for (const TaskRow& row : rig.atm.list(0).rows)
        handles.push_back(row.handle);
    EXPECT_EQ(handles, (Titles{"9", "123", "10000"}));
    EXPECT_EQ(rig.atm.list(0).selected, 3); // the selection stays with beta

    rig.atm.ColumnClick(0, 0);
    EXPECT_EQ(rig.titles(0), (Titles{"gamma", "beta", "Alpha"}));

    // Sorting is switched off again: a rebuild lists in stack order.
    rig.desktop.windows.push_back({77, "delta", kVisible});
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.titles(0), (Titles{"beta", "Alpha", "gamma", "delta"}));
}

TEST(AtmStatus, SaysWhyNothingIsListedWithoutAWindowSystem) {
    AtmRig rig;
    EXPECT_EQ(rig.atm.statusText(), TaskManager::StatusHint);
    rig.desktop.reason = "No X11 display: DISPLAY is not set";
    rig.desktop.windows.clear();
    rig.atm.Form_Load();
    EXPECT_EQ(rig.atm.statusText(), "No X11 display: DISPLAY is not set");
    EXPECT_TRUE(rig.atm.list(1).rows.empty());
    // Nothing is listed at all: the reason says so, no notice of a partial list beside it.
    rig.desktop.notice = OnlyX11Listed;
    EXPECT_EQ(rig.atm.noticeText(), "");
}

// A desktop that hides its own windows: the list is still made, with the one-line notice beside
// the refresh hint.
TEST(AtmStatus, SaysThatOnlyX11ProgramsAreListedWhereTheDesktopHidesItsOwn) {
    AtmRig rig;
    EXPECT_EQ(rig.atm.noticeText(), "");
    rig.desktop.notice = OnlyX11Listed;
    rig.desktop.open("xterm");
    rig.atm.Form_Load();
    EXPECT_EQ(rig.atm.statusText(), TaskManager::StatusHint);
    EXPECT_EQ(rig.atm.noticeText(), "Only X11 programs are listed on this desktop");
    EXPECT_EQ(rig.titles(0), (Titles{"xterm"}));
}

TEST(ApplicationTasks, ReadsTheApplicationListAndSavesSettingsOnUnload) {
    AtmRig rig;
    rig.desktop.open("Terminal");
    rig.desktop.open("Hidden", kHidden);
    rig.desktop.open("Browser");
    EXPECT_EQ(readApplicationTasks(rig.atm), (Titles{"Browser", "Terminal"}));
    EXPECT_EQ(rig.setting("ViewMode2"), "True");
}

} // namespace
} // namespace vexo
