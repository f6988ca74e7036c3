#include "taskman/TaskManager.h"

#include "support/FakeDesktop.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

constexpr std::uint32_t kHidden = 0;
constexpr std::uint32_t kVisible = WindowStyle::Visible;
constexpr std::uint32_t kMinimised = WindowStyle::Visible | WindowStyle::Minimised;
using Titles = std::vector<std::string>;

struct AtmRig : test::TaskServices<> {
    // The windows, top of the stack first, and the task manager's own below them.
    explicit AtmRig(std::vector<std::pair<std::string, std::uint32_t>> opened = {}) {
        atm.setOwnWindow(windows.open(TaskManager::WindowTitle));
        for (auto at = opened.rbegin(); at != opened.rend(); ++at)
            windows.open(at->first, at->second);
        atm.onClose = [this] { ++closed; };
        atm.Form_Load();
    }
    TaskManager atm{services(), "/opt/vexo/"};
    int closed = 0;

    Titles column(int list, bool handles = false) const {
        Titles out;
        for (const TaskRow& row : atm.list(list).rows)
            out.push_back(handles ? row.handle : row.title);
        return out;
    }
    void click(int list, int row, int button) {
        atm.select(list, row);
        atm.CommandButton_Click(button);
    }
    // The stored marks of the keys, as one line.
    std::string marks(std::initializer_list<const char*> keys) {
        std::string out;
        for (const char* key : keys)
            out += settings.get(kSettingsApplication, "ATM", key, "(missing)") + " ";
        return out;
    }
    void store(std::initializer_list<const char*> keys, const char* value) {
        for (const char* key : keys)
            settings.save(kSettingsApplication, "ATM", key, value);
        atm.Form_Load();
    }
    // The last box shown, as "style|text".
    std::string lastBox() const {
        return std::to_string(dialogs.messages.back().style) + "|" + dialogs.messages.back().text;
    }
};

TEST(TaskList, VisibleTitledWindowsInStackOrderAndAllTitledOnesInTheSecondList) {
    AtmRig rig(
        {{"Editor", kVisible}, {"", kVisible}, {"Hidden helper", kHidden}, {"Wizard", kVisible}});
    EXPECT_EQ(rig.column(0), (Titles{"Editor", "Wizard"}));
    EXPECT_EQ(rig.column(1), (Titles{"Editor", "Hidden helper", "Wizard"}));
    EXPECT_EQ(rig.column(1, true), (Titles{"105", "103", "102"}));
}

// Cut at the first NUL, and after the 1024th character (a stray continuation byte belongs to
// the character before it; nothing is split).
TEST(TaskList, TitlesAreCutAtTheirFirstNulAndAfterTheirThousandTwentyFourthCharacter) {
    std::string accented;
    for (int i = 0; i < 1100; ++i)
        accented += "\xC3\xA9"; // two bytes, one character
    EXPECT_EQ(TaskManager::listedTitle(accented), accented.substr(0, 2048));
    EXPECT_EQ(TaskManager::listedTitle(std::string(1 << 20, 'W')), std::string(1024, 'W'));
    const std::string stray = std::string(1023, 'a') + "\x80\x80\xC3\xA9";
    EXPECT_EQ(TaskManager::listedTitle(stray), stray);
    AtmRig rig({{std::string("Notes\0tail", 10), kVisible}, {std::string("\0after", 6), kVisible}});
    EXPECT_EQ(rig.column(0), (Titles{"Notes"}));
}

// A new title alone changes nothing after a button or at the timer's refresh; neither does a
// window hiding while another appears, nor one closing while another opens: only F5 lists anew
// then. The timer's refresh keeps the selected row numbers, or selects nothing past the end.
TEST(TaskList, OnlyAChangeInTheNumberOfTitledWindowsOrF5Rebuilds) {
    AtmRig rig({{"Beta", kVisible}, {"Alpha", kVisible}, {"Gamma", kHidden}});
    const std::uint64_t built = rig.atm.revision();
    rig.windows.windows[1].title = "Alpha renamed";
    rig.atm.CommandButton_Click(2);
    std::swap(rig.windows.windows[1].style, rig.windows.windows[2].style);
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.column(0), (Titles{"Beta", "Alpha"}));
    rig.windows.windows.erase(rig.windows.windows.begin() + 1);
    rig.windows.open("Delta");
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.atm.revision(), built);
    rig.atm.RefreshMenu_Click();
    EXPECT_EQ(rig.column(1), (Titles{"Delta", "Beta", "Gamma"}));
    rig.atm.select(0, 2);
    rig.atm.select(1, 3);

    rig.windows.open("Epsilon");
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.column(0), (Titles{"Epsilon", "Delta", "Beta", "Gamma"}));
    EXPECT_EQ(rig.atm.list(0).selected, 2); // the same number, now another window
    EXPECT_EQ(rig.atm.list(1).selected, 3);
    rig.atm.select(0, 4);
    rig.windows.windows.erase(rig.windows.windows.begin(), rig.windows.windows.begin() + 2);
    rig.atm.App_Timer_Timer();
    EXPECT_EQ(rig.atm.list(0).selected, 0);
}

// Switch restores a minimised window before raising it, Show Task raises a hidden one without
// restoring, a double-click switches to the application list's selection; each request runs
// with the other programs held.
TEST(TaskActions, SwitchShowAndDoubleClickRaiseTheirWindows) {
    AtmRig rig({{"Normal", kVisible}, {"Small", kMinimised}, {"Hidden", kHidden | kMinimised}});
    rig.click(0, 2, 0);
    rig.click(1, 3, 3);
    rig.atm.select(0, 1);
    rig.atm.taskViewDoubleClick();
    EXPECT_EQ(rig.windows.requests, (Titles{"restore 103", "raise 103", "raise 102", "raise 104"}));
    EXPECT_EQ(rig.windows.requestsUnheld, 0);
    EXPECT_FALSE(rig.windows.held);
}

TEST(TaskActions, EndTaskAsksFirstAndOnlyAsksTheWindowToClose) {
    AtmRig rig({{"Report", kVisible}});
    rig.dialogs.messageAnswer = MsgAnswer::No;
    rig.click(0, 1, 5);
    EXPECT_TRUE(rig.windows.requests.empty());
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].title, "Warning!");
    EXPECT_EQ(rig.lastBox(), "36|Are you sure you want to end the process: Report.\r"
                             "This may cause system hanging or unpredictable results!");
    rig.dialogs.messageAnswer = MsgAnswer::Yes;
    rig.click(1, 1, 1);
    EXPECT_EQ(rig.windows.requests, (Titles{"close 102"}));
    // A window that stays open is awaited only so long (one that goes: the X11 tests).
    for (int check = 0; check < TaskManager::kClosingChecks; ++check) {
        EXPECT_TRUE(rig.atm.closing());
        rig.atm.checkClosing();
    }
    EXPECT_FALSE(rig.atm.closing());
}

// Each action on a row whose window's id another window now has (the count-only refresh keeps
// such rows), or that changes under End Task's question, sends nothing, says so once and lists
// anew. A newcomer may copy the title; then only its owner differs.
TEST(TaskActions, ARowWhoseWindowChangedIsNeverActedOn) {
    struct Case {
        const char* name;
        int list, button;
        bool underTheQuestion, sameTitle;
    };
    for (const Case c : {Case{"switch", 0, 0, false, false}, Case{"show", 1, 3, false, false},
                         Case{"end task, same title", 1, 1, false, true},
                         Case{"under the question", 0, 5, true, false},
                         Case{"under the question, same title", 1, 1, true, true}}) {
        SCOPED_TRACE(c.name);
        AtmRig rig({{"Build log viewer", kVisible}, {"Notes for Tuesday", kVisible}});
        rig.windows.windows[1].owner = {4242, std::string("notes\0Notes\0", 13)};
        const std::string newcomer = c.sameTitle ? "Notes for Tuesday" : "Newcomer";
        const auto replace = [&] {
            rig.windows.windows[1] = {102, newcomer, kVisible, {7, "new"}};
        };
        if (c.underTheQuestion)
            rig.dialogs.whileBoxOpen = replace;
        else
            replace();
        rig.atm.App_Timer_Timer(); // the count is unchanged: the old row stays
        rig.dialogs.messageAnswer = MsgAnswer::Yes;
        rig.click(c.list, 2, c.button);

        EXPECT_TRUE(rig.windows.requests.empty());
        EXPECT_EQ(rig.dialogs.messages.size(), c.button == 5 || c.button == 1 ? 2u : 1u);
        EXPECT_EQ(rig.lastBox(), "64|The window \"Notes for Tuesday\" in that row has "
                                 "changed or closed since the list was made, so nothing was done "
                                 "to it. The lists are made anew.");
        EXPECT_EQ(rig.column(c.list)[1], newcomer);
    }
}

TEST(TaskActions, NewTaskAsksForAProgramAndStartsItSilently) {
    AtmRig rig;
    rig.files.answers = {std::string("/usr/bin/xterm"), std::nullopt};
    rig.files.startWorks = false;
    rig.atm.CommandButton_Click(2);
    rig.atm.CommandButton_Click(4); // cancelled: nothing happens
    ASSERT_EQ(rig.files.requests.size(), 2u);
    const FileDialogRequest& asked = rig.files.requests[0]; // flags 528388 are 0x81004
    EXPECT_EQ(asked.title + "|" + asked.initialFolder + "|" + std::to_string(asked.filterIndex) +
                  "|" + std::to_string(asked.flags) + "|" + asked.filter,
              "New Task ...|/opt/vexo/|1|528388|Executable Files (*.exe)|*.exe|"
              "TSR Executable (*.com)|*.com|All Files (*.*)|*.*");
    EXPECT_EQ(rig.files.started, (Titles{"/usr/bin/xterm"}));
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(TaskActions, NothingSelectedOrAnEmptyListDoesNothingButRefresh) {
    AtmRig rig;
    for (const int button : {0, 1, 3, 5})
        rig.atm.CommandButton_Click(button);
    rig.atm.taskViewDoubleClick();
    EXPECT_TRUE(rig.windows.requests.empty());
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.log.yields(), 5u); // every button yields before its refresh
}

// First use: the report view, no automatic refresh, nothing written until the window unloads.
TEST(AtmSettings, SpeedsSetTheTimerAndExitSavesTheMarks) {
    AtmRig rig;
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_EQ(rig.atm.timerInterval(), 0);
    EXPECT_EQ(rig.atm.list(0).viewMode, 3);
    EXPECT_TRUE(rig.settings.values.empty());
    for (const auto& [click, interval] : {std::pair{&TaskManager::UpdHigh_Click, 500},
                                          {&TaskManager::UpdNorm_Click, 1000},
                                          {&TaskManager::UpdSlow_Click, 4000},
                                          {&TaskManager::UpdNone_Click, 0}}) {
        (rig.atm.*click)();
        EXPECT_EQ(rig.atm.timerInterval(), interval);
    }
    rig.atm.ViewIcon_Click();
    rig.atm.ExitMenu_Click();
    EXPECT_EQ(rig.closed, 1);
    EXPECT_EQ(rig.marks({"UpdateMode1", "UpdateMode2", "UpdateMode3", "UpdateMode4", "ViewMode1",
                         "ViewMode2"}),
              "False False False True True False ");
}

// The last checked speed wins; no speed checked stops the timer; neither view checked keeps the
// mode a load starts with.
TEST(AtmSettings, StoredMarksAreRestored) {
    AtmRig rig;
    rig.store({"ViewMode1", "ViewMode2", "UpdateMode1", "UpdateMode3"}, "true");
    EXPECT_TRUE(rig.atm.checked(AtmCheck::ViewIcons));
    EXPECT_EQ(rig.atm.list(1).viewMode, 3);
    EXPECT_EQ(rig.atm.timerInterval(), 4000);
    rig.atm.ViewIcon_Click();
    EXPECT_FALSE(rig.atm.checked(AtmCheck::ViewReport));
    EXPECT_EQ(rig.atm.list(1).viewMode, 0);
    rig.store({"UpdateMode1", "UpdateMode3", "ViewMode1", "ViewMode2"}, "0");
    EXPECT_EQ(rig.atm.timerInterval(), 0);
    EXPECT_EQ(rig.atm.list(0).viewMode, 3);
}

// Sorted once, descending as text, the selection kept with its window; a rebuild lists in
// stack order again.
TEST(AtmSort, ColumnClickSortsOnceDescendingAsText) {
    AtmRig rig;
    rig.windows.windows = {
        {10000, "beta", kVisible}, {9, "Alpha", kVisible}, {123, "gamma", kVisible}};
    rig.atm.Form_Load();
    rig.atm.select(0, 1);
    rig.atm.ColumnClick(0, 1);
    EXPECT_EQ(rig.column(0, true), (Titles{"9", "123", "10000"}));
    EXPECT_EQ(rig.atm.list(0).selected, 3);
    rig.atm.ColumnClick(0, 0);
    EXPECT_EQ(rig.column(0), (Titles{"gamma", "beta", "Alpha"}));
    rig.windows.windows.push_back({77, "delta", kVisible});
    rig.atm.Update_AppList();
    EXPECT_EQ(rig.column(0), (Titles{"beta", "Alpha", "gamma", "delta"}));
}

// Without a window system the reason replaces the hint, and no notice of a partial list is
// beside it; a desktop that hides its own windows is listed, with the notice.
TEST(AtmStatus, SaysWhyNothingIsListedOrThatOnlyX11ProgramsAre) {
    AtmRig rig({{"xterm", kVisible}});
    rig.windows.notice = OnlyX11Listed;
    rig.atm.Form_Load();
    EXPECT_EQ(rig.atm.statusText(), TaskManager::StatusHint);
    EXPECT_EQ(rig.atm.noticeText(), "Only X11 programs are listed on this desktop");
    rig.windows.reason = "No X11 display: DISPLAY is not set";
    rig.windows.windows.clear();
    rig.atm.Form_Load();
    EXPECT_EQ(rig.atm.statusText() + "|" + rig.atm.noticeText(),
              "No X11 display: DISPLAY is not set|");
}

} // namespace
} // namespace vexo
