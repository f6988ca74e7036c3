#pragma once

#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/MessagePump.h"
#include "platform/SettingsStore.h"
#include "platform/WindowSystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo {

// One row of a task list: the window's title, its handle as decimal text, its picture, and the
// owner the window named when the row was made, so that an action can tell whether the window
// with that handle is still the one shown.
struct TaskRow {
    std::string title;
    std::string handle;
    int image = 0; // 1 application task, 2 system process
    WindowOwner owner;

    bool operator==(const TaskRow&) const = default;
};

struct TaskList {
    std::vector<TaskRow> rows;
    int selected = 0;    // row number counted from 1; 0 when no row is selected
    int arrangement = 0; // 0 none, 1 automatic left alignment
    int viewMode = 3;    // 0 large icons, 3 report
};

// The six check marks of the menus, in the order of their setting keys.
enum class AtmCheck { ViewIcons, ViewReport, SpeedHigh, SpeedNormal, SpeedSlow, SpeedPaused };

// The Advanced Task Manager window's behaviour: two lists of the desktop's top-level windows
// (TaskView(0) the visible ones, TaskView(1) all titled ones), the actions on their rows, the
// refresh speeds and views, and the settings that keep them.
class TaskManager {
public:
    static constexpr const char* WindowTitle = "ATM - VexoGAUGE 2002 (Advanced Task Manager)";
    static constexpr const char* StatusHint = "Press F5 at any time to refresh the list";
    static constexpr const char* MakerName = "Kestrovia Software";
    static constexpr const char* Warning =
        "Limitations on certain processes can cause unpredictable results, use these features at "
        "your own risk. Only advanced users should attempt the activate a hidden task. Read the "
        "licence agreement with reguards to data loss and limited warrenty.";
    static constexpr int ApplicationList = 0;
    static constexpr int ProcessList = 1;

    struct Services {
        WindowSystem& windows;
        SettingsStore& settings;
        Dialogs& dialogs;
        FileDialogs& files;
        ProgramStarter& programs;
        MessagePump& pump;
    };

    TaskManager(Services services, std::string appFolder);

    // Tells which windows are the task manager's own; they are never listed. Asked at every
    // refresh, since a window that is closed and opened again gets a new native window.
    void setOwnWindows(std::function<bool(WindowId)> isOwn) { m_isOwn = std::move(isOwn); }
    void setOwnWindow(WindowId window) {
        m_isOwn = [window](WindowId other) { return other == window; };
    }
    bool isOwnWindow(WindowId window) const { return m_isOwn && m_isOwn(window); }
    // True while one of the task manager's own boxes waits for the user; the automatic
    // refresh waits meanwhile.
    bool boxOpen() const { return m_boxesOpen > 0; }

    void Form_Load();
    void Form_QueryUnload();

    // Rebuilds the lists only when the number of titled windows changed.
    void Update_AppList();
    void App_Timer_Timer();
    bool TaskWindow(WindowId window);
    static std::string Strip_At_Nul(std::string_view text);
    // A title as the lists show it: cut at its first NUL and after MaxTitleCharacters
    // characters.
    static std::string listedTitle(std::string_view text);

    void CommandButton_Click(int index);
    void taskViewDoubleClick();
    void Switch_Click();
    void New_Task();

    // F5 lists anew whatever the number of windows: a window may have come as another went.
    void RefreshMenu_Click() { rebuild(); }
    void UpdHigh_Click() { chooseSpeed(AtmCheck::SpeedHigh); }
    void UpdNorm_Click() { chooseSpeed(AtmCheck::SpeedNormal); }
    void UpdSlow_Click() { chooseSpeed(AtmCheck::SpeedSlow); }
    void UpdNone_Click() { chooseSpeed(AtmCheck::SpeedPaused); }
    void ViewIcon_Click();
    void ViewReport_Click();
    void ExitMenu_Click();
    void AboutMenu_Click();
    // A click on a column header: sorts the rows once, descending, as text.
    void ColumnClick(int list, int column);

    void Load_ATM_Settings();
    void Save_ATM_Settings();
    void Clear_Update_Modes();
    void Check_Update_Status();
    void Check_View_Status();

    // The user selected a row (counted from 1; 0 for none).
    void select(int list, int row);

    // Whether a window End Task asked to close is still awaited: the lists are made anew once it
    // has gone, whatever the refresh speed. The window asks checkClosing a few times a second
    // meanwhile; after kClosingChecks checks a window that stays is no longer awaited (its
    // program may have asked its own question).
    bool closing() const { return !m_closing.empty(); }
    void checkClosing();
    static constexpr int kClosingChecks = 40;

    const TaskList& list(int index) const { return m_lists.at(index); }
    bool checked(AtmCheck check) const { return m_checks[static_cast<int>(check)]; }
    int timerInterval() const { return m_timerInterval; }
    // The first status panel: the refresh hint, or why no windows can be listed.
    std::string statusText() const;
    // Beside it: empty, or one line saying that not every program's windows can be listed.
    std::string noticeText() const;
    // Grows whenever the lists, their selection or their view change.
    std::uint64_t revision() const { return m_revision; }

    std::function<void()> onAbout;
    std::function<void()> onClose;

private:
    void chooseSpeed(AtmCheck speed);
    std::optional<WindowId> selectedHandle(int list) const;
    const TaskRow* selectedRow(int list) const;
    void endTask(int list);
    // Runs the request, with the other programs held, only if the window with the row's handle
    // is still the window the row shows. Otherwise sends nothing, says so in a box titled
    // boxTitle and lists the windows anew. True when the request ran.
    bool actOnRow(const TaskRow& row, WindowId handle, const std::string& boxTitle,
                  const std::function<void()>& request);
    bool stillShows(const TaskRow& row, WindowId handle);
    void rebuild();
    // Shows one of the task manager's boxes with the automatic refresh held back.
    int ask(const std::string& text, int style, const std::string& title);
    void showWindow();
    std::string titleOf(WindowId window);
    void changed() { ++m_revision; }

    Services m_services;
    std::string m_appFolder;
    std::array<TaskList, 2> m_lists;
    std::array<bool, 6> m_checks{};
    std::uint32_t m_taskStyleMask = 0;
    int m_timerInterval = 0;
    std::function<bool(WindowId)> m_isOwn;
    int m_boxesOpen = 0;
    std::uint64_t m_revision = 0;
    struct Closing {
        TaskRow row;
        WindowId handle;
        int checks = 0;
    };
    std::vector<Closing> m_closing;
};

// Reads a truth value of the settings store: "True" or "False" (any case), or a number where
// 0 is false. Anything else gives the default.
bool parseTruth(const std::string& text, bool defaultValue);

} // namespace vexo
